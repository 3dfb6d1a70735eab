#ifndef WINDOW_FLUTTER_WINDOW_H_
#define WINDOW_FLUTTER_WINDOW_H_

#include <windows.h>

#include <memory>

#include "engine_client/engine_project.h"
#include "engine_client/flutter_view_controller.h"
#include "engine_client/method_channel.h"
#include "window/desktop_host.h"
#include "window/win32_window.h"

namespace veltrix {

// The application's one top-level window: the engine's view as its content,
// the desktop channel, and what its messages mean — closing, the tray
// icon's events, the end of the Windows session. The desktop services
// themselves are its desktop host's.
class FlutterWindow : public Win32Window {
 public:
  explicit FlutterWindow(const flutter::EngineProject& project);
  ~FlutterWindow() override;

  // The desktop channel's call handler: every call from the user interface
  // goes to the desktop dispatcher with the desktop host.
  void HandleDesktopCall(const flutter::MethodCall& call,
                         std::unique_ptr<flutter::MethodResult> result);

  // What kept Create from starting the user interface.
  enum class StartFault { kNone, kEngine, kView };
  StartFault startFault() const { return startFault_; }

  const DesktopState& state() const { return desktop_.state(); }
  const TrayIcon& trayIcon() const { return desktop_.trayIcon(); }

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
  // the tray icon is there to bring it back, or may still come.
  void OnFirstFrame();
  // A login start's next try for its tray icon; shows the window once the
  // tries are used up.
  void OnTrayRetry();

  flutter::EngineProject project_;
  DesktopHost desktop_;
  // Declared after the view controller so that, should it still be there,
  // the channel goes first: it uses the engine's messenger.
  std::unique_ptr<flutter::FlutterViewController> viewController_;
  std::unique_ptr<flutter::CodecMethodChannel> desktopChannel_;
  StartFault startFault_ = StartFault::kNone;
  bool closeAfterOperation_ = false;
  // A login start waits for its tray icon before it may show the window.
  bool waitingForTray_ = false;
  bool firstFrameSeen_ = false;
  // Sent by a second start of the program in this session.
  UINT showRunningMessage_ = 0;
};

}  // namespace veltrix

#endif  // WINDOW_FLUTTER_WINDOW_H_
