#ifndef DESKTOP_DESKTOP_OPERATIONS_H_
#define DESKTOP_DESKTOP_OPERATIONS_H_

#include "desktop/desktop_arguments.h"
#include "desktop/desktop_outcome.h"
#include "win32/win32_result.h"

namespace veltrix {

// What the desktop dispatcher needs from the host window, and nothing more.
// The host window implements it; tests use a recording fake.
class DesktopOperations {
 public:
  virtual ~DesktopOperations() = default;

  // Adds the tray icon when it is missing, the window exists and the host is
  // not quitting; true when the icon is shown afterwards.
  virtual bool EnsureTrayIcon() = 0;
  // Rewrites the tooltip from the connection state (or adds the icon).
  virtual void RefreshTrayTooltip() = 0;
  // Restore or show, then foreground; nothing once quitting.
  virtual void BringWindowToFront() = 0;
  // Posts the host window's quit message.
  virtual Win32Result<> PostQuitRequest() = 0;
  // Writes or removes the Run value.
  virtual Win32Result<> SetRunAtLogin(bool enable) = 0;

  // The long operations; each runs its own modal UI (an elevation prompt,
  // the Save As dialog) and says how it ended.
  virtual OperationResult LaunchServiceRepair() = 0;
  virtual OperationResult LaunchUpdateInstaller(const InstallerRequest& request) = 0;
  virtual OperationResult SaveDiagnostics(const DiagnosticsFields& fields) = 0;
};

}  // namespace veltrix

#endif  // DESKTOP_DESKTOP_OPERATIONS_H_
