#ifndef DESKTOP_DESKTOP_OPERATIONS_H_
#define DESKTOP_DESKTOP_OPERATIONS_H_

#include "base/connection_state.h"
#include "base/expected.h"
#include "diagnostics/diagnostics_fields.h"
#include "launch/launch_results.h"
#include "locale/language.h"

namespace veltrix {

// What the desktop dispatcher needs from the desktop, and nothing more. The
// desktop host implements it over the window and the tray icon; tests use a
// recording fake.
class DesktopOperations {
 public:
  virtual ~DesktopOperations() = default;

  // Adds the tray icon when it is missing, the window exists and the host is
  // not quitting; true when the icon is shown afterwards.
  virtual bool EnsureTrayIcon() = 0;
  // The tray shows `state` (or the icon is added).
  virtual void ShowConnection(ConnectionState state) = 0;
  // The host's texts are in `language` from now on; the tooltip at once.
  virtual void ShowLanguage(Language language) = 0;
  // Restore or show, then foreground; nothing once quitting.
  virtual void BringWindowToFront() = 0;
  // Writes or removes the Run value.
  virtual Win32Result<> SetRunAtLogin(bool enable) = 0;

  // The long operations; each runs its own modal UI (an elevation prompt,
  // the Save As dialog) and says how it ended.
  virtual RepairLaunch LaunchServiceRepair() = 0;
  virtual InstallerLaunch LaunchUpdateInstaller(const InstallerRequest& request) = 0;
  virtual DiagnosticsSave SaveDiagnostics(const DiagnosticsFields& fields) = 0;
};

}  // namespace veltrix

#endif  // DESKTOP_DESKTOP_OPERATIONS_H_
