#ifndef DESKTOP_DESKTOP_OPERATIONS_H_
#define DESKTOP_DESKTOP_OPERATIONS_H_

#include <cstdint>
#include <string>

#include "engine_client/encodable_value.h"
#include "engine_client/method_result.h"

namespace veltrix {

// What the desktop dispatcher needs from the host window, and nothing more.
// The host window implements it; tests use a recording fake.
class DesktopOperations {
 public:
  virtual ~DesktopOperations() = default;

  // Adds the tray icon when it is missing, the window exists and the host is
  // not quitting; leaves trayAvailable telling whether the icon is shown.
  virtual bool EnsureTrayIcon() = 0;
  // Rewrites the tooltip from connectionState (or adds the icon).
  virtual void RefreshTrayTooltip() = 0;
  // Restore or show, then foreground; nothing once quitting.
  virtual void BringWindowToFront() = 0;
  // Posts the host window's quit message; 0, or the Windows error of the post.
  virtual uint32_t PostQuitRequest() = 0;
  // Writes or removes the Run value; 0, or a Windows error code.
  virtual uint32_t SetRunAtLogin(bool enable) = 0;

  // The long operations answer `result` themselves before they return.
  virtual void LaunchServiceRepair(flutter::MethodResult& result) = 0;
  virtual void LaunchUpdateInstaller(const std::string& path, const std::string& sha256,
                                     uint64_t size, flutter::MethodResult& result) = 0;
  virtual void SaveDiagnostics(const flutter::EncodableValue* arguments,
                               flutter::MethodResult& result) = 0;
};

}  // namespace veltrix

#endif  // DESKTOP_DESKTOP_OPERATIONS_H_
