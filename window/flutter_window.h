#ifndef WINDOW_FLUTTER_WINDOW_H_
#define WINDOW_FLUTTER_WINDOW_H_

#include <windows.h>

#include <memory>

#include "desktop/desktop_operations.h"
#include "desktop/desktop_state.h"
#include "engine_client/engine_project.h"
#include "engine_client/flutter_view_controller.h"
#include "engine_client/method_channel.h"
#include "tray/tray_icon.h"
#include "window/ui_commands.h"
#include "window/win32_window.h"

namespace veltrix {

// The application's one top-level window: the engine's view as its content,
// the desktop channel, the tray icon, and what closing, the tray and the end
// of the Windows session mean. It owns the desktop state.
class FlutterWindow : public Win32Window, public DesktopOperations {
 public:
  explicit FlutterWindow(const flutter::EngineProject& project);
  ~FlutterWindow() override;

  // DesktopOperations, used by the desktop dispatcher.
  bool EnsureTrayIcon() override;
  void RefreshTrayTooltip() override;
  void BringWindowToFront() override;
  Win32Result<> PostQuitRequest() override;
  Win32Result<> SetRunAtLogin(bool enable) override;
  OperationResult LaunchServiceRepair() override;
  OperationResult LaunchUpdateInstaller(const InstallerRequest& request) override;
  OperationResult SaveDiagnostics(const DiagnosticsFields& fields) override;

  // The desktop channel's call handler: every call from the user interface
  // goes to the desktop dispatcher with this window's state.
  void HandleDesktopCall(const flutter::MethodCall& call,
                         std::unique_ptr<flutter::MethodResult> result);

  const DesktopState& state() const { return state_; }
  const TrayIcon& trayIcon() const { return trayIcon_; }

 protected:
  bool OnWindowCreated() override;
  LRESULT HandleMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam) override;
  void OnWindowDestroyed() override;

 private:
  // The tray icon's callback message: a click, or a request for the menu.
  void OnTrayEvent(WPARAM wParam, LPARAM lParam);
  // A click on the icon, or Open in its menu: the window, and "open" for the
  // user interface.
  void OpenFromTray();
  // Shows the tray menu at a screen position and acts on the choice.
  void ShowTrayMenu(POINT position);
  // WM_CLOSE: hide to the tray, or ask for an orderly quit.
  void OnCloseRequest();
  // kQuitMessage and the end of the session: go now, or, while a long
  // operation runs, as soon as it has unwound.
  void DestroyAndQuit();
  // Shows the window on the first frame, unless it was started at login and
  // the tray icon is there to bring it back.
  void OnFirstFrame();

  flutter::EngineProject project_;
  DesktopState state_;
  TrayIcon trayIcon_;
  UiCommands uiCommands_;
  // Declared after the view controller so that, should it still be there,
  // the channel goes first: it uses the engine's messenger.
  std::unique_ptr<flutter::FlutterViewController> viewController_;
  std::unique_ptr<flutter::CodecMethodChannel> desktopChannel_;
  bool closeAfterOperation_ = false;
  // Sent by a second start of the program in this session.
  UINT showRunningMessage_ = 0;
};

}  // namespace veltrix

#endif  // WINDOW_FLUTTER_WINDOW_H_
