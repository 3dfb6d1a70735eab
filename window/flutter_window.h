#ifndef WINDOW_FLUTTER_WINDOW_H_
#define WINDOW_FLUTTER_WINDOW_H_

#include <windows.h>

#include <memory>
#include <string>

#include "base/weak_reference.h"
#include "engine_client/engine_project.h"
#include "engine_client/flutter_view_controller.h"
#include "engine_client/method_channel.h"
#include "lifecycle/host_lifecycle.h"
#include "window/desktop_host.h"
#include "window/lifecycle_trace.h"
#include "window/win32_window.h"

namespace veltrix {

// The application's one top-level window: the engine's view as its content,
// the desktop channel, and the program's lifecycle. It turns its messages
// (closing, the tray icon's events, timers, the end of the session or of the
// console, a second start) into lifecycle events and carries out what the
// lifecycle decides. The desktop services themselves are its desktop host's.
class FlutterWindow : public Win32Window, public LifecycleDriver {
 public:
  explicit FlutterWindow(const flutter::EngineProject& project);
  ~FlutterWindow() override;

  // The desktop channel's call handler: every call from the user interface
  // goes to the desktop dispatcher with the desktop host.
  void HandleDesktopCall(const flutter::MethodCall& call,
                         std::unique_ptr<flutter::MethodResult> result);

  const HostLifecycle& lifecycle() const override { return lifecycle_; }
  Win32Result<LifecycleActions> Dispatch(LifecycleEvent event) override;

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
  // Carries out one action; only a quit message can fail, when it cannot be
  // posted.
  Win32Result<> Carry(LifecycleAction action);
  LifecycleFacts Facts() const;
  // Arms a timer of the lifecycle; one that cannot be armed counts as
  // `instead` at once, so that nobody waits for it for good.
  void ArmTimer(UINT_PTR timer, std::chrono::milliseconds period, LifecycleEvent instead);
  // A login start's next try for its tray icon.
  void RetryTray();
  // Hides to the tray, or, when no icon can be had, stays in front: hiding
  // without an icon would leave the user no way back.
  void HideToTray();
  // "quit" to the user interface; its answer comes back as an event.
  void AskUiToQuit();
  // "open" or "toggle" to the user interface, once it listens; dropped before.
  void SendToUi(const std::string& method);

  // The tray icon's callback message: a click, or a request for the menu.
  void OnTrayEvent(WPARAM wParam, LPARAM lParam);
  // A click on the icon, or Open in its menu: the window, and "open" for the
  // user interface.
  void OpenFromTray();
  // Shows the tray menu at a screen position and acts on the choice.
  void ShowTrayMenu(POINT position);

  flutter::EngineProject project_;
  HostLifecycle lifecycle_;
  LifecycleTrace trace_;
  DesktopHost desktop_;
  // Declared after the view controller so that, should it still be there,
  // the channel goes first: it uses the engine's messenger.
  std::unique_ptr<flutter::FlutterViewController> viewController_;
  std::unique_ptr<flutter::CodecMethodChannel> desktopChannel_;
  StartFault startFault_ = StartFault::kNone;
  // Sent by a second start of the program in this session.
  UINT showRunningMessage_ = 0;
  // Answers to "quit" that arrive once the window has gone find nothing.
  WeakAnchor<FlutterWindow> answers_{this};
};

}  // namespace veltrix

#endif  // WINDOW_FLUTTER_WINDOW_H_
