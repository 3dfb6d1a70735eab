#include "window/desktop_host.h"

#include "diagnostics/save_diagnostics.h"
#include "launch/service_repair_launch.h"
#include "launch/update_installer_launch.h"
#include "login/run_at_login.h"
#include "tray/tray_appearance.h"
#include "win32/last_error.h"
#include "window/host_settings.h"
#include "window/window_messages.h"

namespace veltrix {

DesktopHost::DesktopHost(bool autostart, UINT trayCallbackMessage, NotifyIconFunction shell)
    : state_(autostart),
      trayIcon_(trayCallbackMessage, std::move(shell)),
      uiCommands_(
          state_, [this] { return static_cast<bool>(PostQuitRequest()); },
          [this] {
            // Without a timer the user would wait for good: quit now.
            if (window_ == nullptr ||
                ::SetTimer(window_, kQuitTimer, static_cast<UINT>(UiCommands::kQuitGrace.count()),
                           nullptr) == 0) {
              uiCommands_.OnQuitTimer();
            }
          }) {}

void DesktopHost::OnTaskbarCreated() {
  if (!trayIcon_.OnTaskbarCreated(WindowForTray(), state_.connection())) BringWindowToFront();
}

void DesktopHost::OnDpiChanged() {
  if (!trayIcon_.RefreshImage(window_)) BringWindowToFront();
}

LoginTray DesktopHost::RetryLoginTrayIcon() {
  constexpr int kLoginTrayRetries = 60;
  if (EnsureTrayIcon()) return LoginTray::kShown;
  return ++loginTrayRetries_ < kLoginTrayRetries ? LoginTray::kStillTrying : LoginTray::kGaveUp;
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

void DesktopHost::OnHiddenToTray() {
  if (StillRunningNoticeShown()) return;
  if (!trayIcon_.Notify(TrayBalloon::kStillRunning)) return BringWindowToFront();
  RememberStillRunningNotice();
}

bool DesktopHost::WindowInView() const {
  return window_ != nullptr && ::IsWindowVisible(window_) && !::IsIconic(window_);
}

void DesktopHost::BringWindowToFront() {
  if (window_ == nullptr || state_.quitting()) return;
  ::ShowWindow(window_, ::IsIconic(window_) ? SW_RESTORE : SW_SHOW);
  ::SetForegroundWindow(window_);
}

Win32Result<> DesktopHost::PostQuitRequest() {
  // Without a window the message would go to the thread and be lost.
  if (window_ == nullptr) return Win32Error(ERROR_INVALID_WINDOW_HANDLE);
  if (!::PostMessageW(window_, kQuitMessage, 0, 0)) return LastError();
  return Done{};
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
