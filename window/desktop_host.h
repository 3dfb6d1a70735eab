#ifndef WINDOW_DESKTOP_HOST_H_
#define WINDOW_DESKTOP_HOST_H_

#include <windows.h>

#include "desktop/desktop_operations.h"
#include "desktop/desktop_state.h"
#include "lifecycle/host_lifecycle.h"
#include "tray/tray_icon.h"

namespace veltrix {

// The desktop services over the host window: the desktop state, the tray
// icon and the operations the desktop channel asks for. The window attaches
// its handle once it exists and detaches it when it goes; without one, or
// once the lifecycle is quitting, nothing is shown or added.
class DesktopHost : public DesktopOperations {
 public:
  // `lifecycle`: the host window's, which outlives this. `trayCallbackMessage`:
  // the window message the shell sends for the tray icon.
  DesktopHost(const HostLifecycle& lifecycle, UINT trayCallbackMessage,
              TrayShell shell = DefaultTrayShell());

  DesktopHost(const DesktopHost&) = delete;
  DesktopHost& operator=(const DesktopHost&) = delete;

  void Attach(HWND window) { window_ = window; }

  DesktopState& state() { return state_; }
  const DesktopState& state() const { return state_; }
  TrayIcon& trayIcon() { return trayIcon_; }
  const TrayIcon& trayIcon() const { return trayIcon_; }

  // The window where an icon may be added: none once the host is quitting.
  HWND WindowForTray() const { return lifecycle_.quitting() ? nullptr : window_; }
  // The shell restarted and forgot the icon; a lost icon brings the window
  // back, the user's only way in.
  void OnTaskbarCreated();
  // The window moved to another DPI: the icon's image follows.
  void OnDpiChanged();
  // The window went to the tray: the first time for this user, a balloon
  // says that the program goes on running there.
  void OnHiddenToTray();

  bool EnsureTrayIcon() override;
  void ShowConnection(ConnectionState state) override;
  void ShowLanguage(Language language) override;
  void BringWindowToFront() override;
  Win32Result<> SetRunAtLogin(bool enable) override;
  RepairLaunch LaunchServiceRepair() override;
  InstallerLaunch LaunchUpdateInstaller(const InstallerRequest& request) override;
  DiagnosticsSave SaveDiagnostics(const DiagnosticsFields& fields) override;

 private:
  // Shown and not minimised: the user can see what happens.
  bool WindowInView() const;

  const HostLifecycle& lifecycle_;
  HWND window_ = nullptr;
  DesktopState state_;
  TrayIcon trayIcon_;
};

}  // namespace veltrix

#endif  // WINDOW_DESKTOP_HOST_H_
