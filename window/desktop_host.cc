#include "window/desktop_host.h"

#include "diagnostics/save_diagnostics.h"
#include "launch/service_repair_launch.h"
#include "launch/update_installer_launch.h"
#include "login/run_at_login.h"
#include "tray/tray_appearance.h"
#include "win32/display_language.h"
#include "window/host_settings.h"

namespace veltrix {

DesktopHost::DesktopHost(const HostLifecycle& lifecycle, UINT trayCallbackMessage, TrayShell shell)
    : lifecycle_(lifecycle), trayIcon_(trayCallbackMessage, std::move(shell)) {
  // Until the user interface says otherwise; the icon is not there yet.
  static_cast<void>(trayIcon_.ShowLanguage(DisplayLanguage()));
}

void DesktopHost::OnTaskbarCreated() {
  if (!trayIcon_.OnTaskbarCreated(WindowForTray(), state_.connection())) BringWindowToFront();
}

void DesktopHost::OnDpiChanged() {
  if (!trayIcon_.RefreshImage(window_)) BringWindowToFront();
}

bool DesktopHost::EnsureTrayIcon() {
  return trayIcon_.Ensure(WindowForTray(), state_.connection());
}

void DesktopHost::ShowConnection(ConnectionState state) {
  const ConnectionState before = trayIcon_.connection();
  // A lost icon leaves the user no way back but the window; the window
  // also tells of a drop the icon could not.
  if (!trayIcon_.Show(WindowForTray(), state) ||
      (AnnouncesConnectionLost(before, state, WindowInView()) &&
       !trayIcon_.Notify(TrayBalloon::kConnectionLost))) {
    BringWindowToFront();
  }
}

void DesktopHost::ShowLanguage(Language language) {
  // A lost icon leaves the user no way back but the window.
  if (!trayIcon_.ShowLanguage(language)) BringWindowToFront();
}

void DesktopHost::OnHiddenToTray() {
  if (StillRunningNoticeShown()) return;
  if (!trayIcon_.Notify(TrayBalloon::kStillRunning)) return BringWindowToFront();
  RememberStillRunningNotice();
}

bool DesktopHost::WindowInView() const {
  return window_ != nullptr && ::IsWindowVisible(window_) && !::IsIconic(window_);
}

void DesktopHost::BringWindowToFront() {
  if (window_ == nullptr || lifecycle_.quitting()) return;
  ::ShowWindow(window_, ::IsIconic(window_) ? SW_RESTORE : SW_SHOW);
  ::SetForegroundWindow(window_);
}

Win32Result<> DesktopHost::SetRunAtLogin(bool enable) { return veltrix::SetRunAtLogin(enable); }

// The long operations own their modal UI (elevation prompt, Save As).

RepairLaunch DesktopHost::LaunchServiceRepair() { return veltrix::LaunchServiceRepair(window_); }

InstallerLaunch DesktopHost::LaunchUpdateInstaller(const InstallerRequest& request) {
  return veltrix::LaunchUpdateInstaller(window_, request);
}

DiagnosticsSave DesktopHost::SaveDiagnostics(const DiagnosticsFields& fields) {
  return veltrix::SaveDiagnostics(window_, fields, TextsFor(trayIcon_.language()));
}

}  // namespace veltrix
