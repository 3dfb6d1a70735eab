#include "window/flutter_window.h"

#include <algorithm>
#include <optional>
#include <string_view>
#include <utility>

#include "desktop/desktop_dispatcher.h"
#include "engine_client/standard_method_codec.h"
#include "tray/tray_event.h"
#include "tray/tray_menu.h"
#include "win32/last_error.h"
#include "window/engine_plugins.h"
#include "window/host_settings.h"
#include "window/window_decisions.h"
#include "window/window_messages.h"

namespace veltrix {
namespace {

// Cancels the modal dialogs `owner` has open (the Save As dialog); a prompt
// of another process, such as the elevation prompt, is not ours to close.
void EndOwnedDialogs(HWND owner) {
  ::EnumThreadWindows(
      ::GetCurrentThreadId(),
      [](HWND window, LPARAM context) -> BOOL {
        wchar_t className[16] = {};
        ::GetClassNameW(window, className, 16);
        if (::GetWindow(window, GW_OWNER) == reinterpret_cast<HWND>(context) &&
            std::wstring_view(className) == L"#32770") {
          ::PostMessageW(window, WM_COMMAND, IDCANCEL, 0);
        }
        return TRUE;
      },
      reinterpret_cast<LPARAM>(owner));
}

// The lifecycle's timer behind a WM_TIMER, if it is one of them.
std::optional<LifecycleEvent> TimerEvent(WPARAM timer) {
  switch (timer) {
    case kTrayRetryTimerId:
      return LifecycleEvent::kTrayRetryTimer;
    case kTrayGiveUpTimerId:
      return LifecycleEvent::kTrayGaveUp;
    case kQuitAnswerTimerId:
      return LifecycleEvent::kQuitAnswerTimer;
    case kQuitInsistTimerId:
      return LifecycleEvent::kQuitInsistTimer;
  }
  return std::nullopt;
}

bool Decided(const LifecycleActions& actions, LifecycleAction action) {
  return std::find(actions.begin(), actions.end(), action) != actions.end();
}

// The user interface's answer to "quit", for the window's lifecycle; an
// answer after the window has gone finds nothing.
class QuitAnswer : public flutter::MethodResult {
 public:
  explicit QuitAnswer(WeakReference<FlutterWindow> window) : window_(std::move(window)) {}

 protected:
  void OnSuccess(const flutter::EncodableValue* value) override {
    // false: the user chose to stay. Anything else: it quits in its own time.
    const bool* quits = value != nullptr ? std::get_if<bool>(value) : nullptr;
    Answer(quits != nullptr && !*quits ? LifecycleEvent::kUiDeclinedQuit
                                       : LifecycleEvent::kUiAcceptedQuit);
  }
  void OnError(const std::string&, const std::string&, const flutter::EncodableValue*) override {
    Answer(LifecycleEvent::kUiRefusedQuit);
  }
  void OnNotImplemented() override { Answer(LifecycleEvent::kUiRefusedQuit); }

 private:
  void Answer(LifecycleEvent event) {
    if (FlutterWindow* window = window_.get()) static_cast<void>(window->Dispatch(event));
  }

  WeakReference<FlutterWindow> window_;
};

}  // namespace

FlutterWindow::FlutterWindow(const flutter::EngineProject& project)
    : project_(project),
      lifecycle_(IsLoginStart(project.entryPointArguments())),
      desktop_(lifecycle_, kTrayCallbackMessage) {}

FlutterWindow::~FlutterWindow() {
  // While this is still a FlutterWindow, so that its own teardown runs.
  Destroy();
}

bool FlutterWindow::OnWindowCreated() {
  if (!Win32Window::OnWindowCreated()) return false;

  // Checked before anything reaches a view: an engine that did not start is
  // the user's to hear about as such.
  std::unique_ptr<flutter::FlutterEngine> engine = flutter::FlutterEngine::Create(project_);
  if (!engine) {
    startFault_ = StartFault::kEngine;
    return false;
  }
  const RECT frame = ClientArea();
  viewController_ = std::make_unique<flutter::FlutterViewController>(
      frame.right - frame.left, frame.bottom - frame.top, std::move(engine));
  if (viewController_->view() == nullptr) {
    startFault_ = StartFault::kView;
    return false;
  }

  RegisterEnginePlugins(viewController_->engine());
  AttachContent(viewController_->view()->NativeWindow());

  desktop_.Attach(WindowHandle());
  desktop_.trayIcon().RegisterTaskbarCreated(WindowHandle());
  desktop_.EnsureTrayIcon();
  showRunningMessage_ = ::RegisterWindowMessageW(kShowRunningWindowMessageName);
  if (showRunningMessage_ != 0) {
    ::ChangeWindowMessageFilterEx(WindowHandle(), showRunningMessage_, MSGFLT_ALLOW, nullptr);
  }

  desktopChannel_ = std::make_unique<flutter::CodecMethodChannel>(
      viewController_->engine()->messenger(), kDesktopChannelName,
      &flutter::StandardMethodCodec::SharedInstance());
  desktopChannel_->SetCallHandler(
      [this](const flutter::MethodCall& call, std::unique_ptr<flutter::MethodResult> result) {
        HandleDesktopCall(call, std::move(result));
      });

  viewController_->engine()->SetNextFrameCallback(
      [this] { static_cast<void>(Dispatch(LifecycleEvent::kFirstFrame)); });
  viewController_->ForceRedraw();
  static_cast<void>(Dispatch(LifecycleEvent::kCreated));
  return true;
}

void FlutterWindow::HandleDesktopCall(const flutter::MethodCall& call,
                                      std::unique_ptr<flutter::MethodResult> result) {
  HandleDesktopMethod(desktop_.state(), *this, desktop_, call, std::move(result));
}

Win32Result<LifecycleActions> FlutterWindow::Dispatch(LifecycleEvent event) {
  LifecycleActions actions = lifecycle_.Handle(event, Facts());
  trace_.Write(event, actions);
  for (const LifecycleAction action : actions) {
    const Win32Result<> done = Carry(action);
    if (done) continue;
    // Only a post fails, and it comes first: nothing else was done.
    static_cast<void>(Dispatch(LifecycleEvent::kQuitPostFailed));
    return done.error();
  }
  return actions;
}

Win32Result<> FlutterWindow::Carry(LifecycleAction action) {
  const HWND window = WindowHandle();
  switch (action) {
    case LifecycleAction::kShow:
      Show();
      break;
    case LifecycleAction::kBringToFront:
      desktop_.BringWindowToFront();
      break;
    case LifecycleAction::kHideToTray:
      HideToTray();
      break;
    case LifecycleAction::kSendQuit:
      AskUiToQuit();
      break;
    case LifecycleAction::kArmTrayRetry:
      ArmTimer(kTrayRetryTimerId, kTrayRetryInterval, LifecycleEvent::kTrayGaveUp);
      break;
    case LifecycleAction::kArmTrayGiveUp:
      ArmTimer(kTrayGiveUpTimerId, kTrayWaitLimit, LifecycleEvent::kTrayGaveUp);
      break;
    case LifecycleAction::kCancelTrayRetry:
      ::KillTimer(window, kTrayRetryTimerId);
      break;
    case LifecycleAction::kArmQuitAnswer:
      ArmTimer(kQuitAnswerTimerId, kQuitAnswerTime, LifecycleEvent::kQuitAnswerTimer);
      break;
    case LifecycleAction::kArmQuitInsist:
      ArmTimer(kQuitInsistTimerId, kInsistAfter, LifecycleEvent::kQuitInsistTimer);
      break;
    case LifecycleAction::kRetryTray:
      RetryTray();
      break;
    case LifecycleAction::kPostQuit:
      // Without a window the message would go to the thread and be lost.
      if (window == nullptr) return Win32Error(ERROR_INVALID_WINDOW_HANDLE);
      if (!::PostMessageW(window, kQuitMessage, 0, 0)) return LastError();
      break;
    case LifecycleAction::kHideAndEndDialogs:
      ::ShowWindow(window, SW_HIDE);
      desktop_.trayIcon().Remove();
      EndOwnedDialogs(window);
      break;
    case LifecycleAction::kTearDown:
      Destroy();
      break;
    case LifecycleAction::kEndLoop:
      ::PostQuitMessage(0);
      break;
    case LifecycleAction::kDeclineHandOver:
      break;
  }
  return Done{};
}

LifecycleFacts FlutterWindow::Facts() const {
  const DesktopState& state = desktop_.state();
  return {desktop_.trayIcon().shown(), state.closeToTray(),
          state.initialized() && desktopChannel_ != nullptr};
}

void FlutterWindow::ArmTimer(UINT_PTR timer, std::chrono::milliseconds period,
                             LifecycleEvent instead) {
  if (::SetTimer(WindowHandle(), timer, static_cast<UINT>(period.count()), nullptr) == 0) {
    static_cast<void>(Dispatch(instead));
  }
}

void FlutterWindow::RetryTray() {
  static_cast<void>(Dispatch(desktop_.EnsureTrayIcon() ? LifecycleEvent::kTrayAdded
                                                       : LifecycleEvent::kTrayRefused));
}

void FlutterWindow::HideToTray() {
  if (!desktop_.EnsureTrayIcon()) return desktop_.BringWindowToFront();
  SaveWindowPlacement(Placement());
  ::ShowWindow(WindowHandle(), SW_HIDE);
  desktop_.OnHiddenToTray();
}

void FlutterWindow::AskUiToQuit() {
  if (!desktopChannel_) return;
  desktopChannel_->InvokeMethod("quit", nullptr,
                                std::make_unique<QuitAnswer>(answers_.Reference()));
}

void FlutterWindow::SendToUi(const std::string& method) {
  // Before the user interface has initialised nobody listens.
  if (!desktop_.state().initialized() || !desktopChannel_) return;
  desktopChannel_->InvokeMethod(method, nullptr, nullptr);
}

LRESULT FlutterWindow::HandleMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  // These never reach the engine, the plug-ins or the base handler.
  const UINT taskbarCreated = desktop_.trayIcon().taskbarCreatedMessage();
  if (taskbarCreated != 0 && message == taskbarCreated) {
    // A login start still waiting for its icon tries at once.
    if (lifecycle_.waitingForTray()) {
      RetryTray();
    } else {
      desktop_.OnTaskbarCreated();
    }
    return 0;
  }
  if (showRunningMessage_ != 0 && message == showRunningMessage_) {
    // 0 declines: the later start waits for this copy's end.
    const auto decided = Dispatch(LifecycleEvent::kShowRequested);
    return decided && !Decided(*decided, LifecycleAction::kDeclineHandOver) ? 1 : 0;
  }
  switch (message) {
    case kQuitMessage:
      static_cast<void>(Dispatch(LifecycleEvent::kQuitMessage));
      return 0;
    case kConsoleClosedMessage:
      static_cast<void>(Dispatch(LifecycleEvent::kConsoleClosed));
      return 0;
    case WM_QUERYENDSESSION:
      // The session may end; the window goes on WM_ENDSESSION.
      return 1;
    case WM_ENDSESSION:
      if (wParam == 0) break;
      static_cast<void>(Dispatch(LifecycleEvent::kSessionEnd));
      return 0;
    case WM_CLOSE:
      static_cast<void>(Dispatch(LifecycleEvent::kClose));
      return 0;
    case kTrayCallbackMessage:
      OnTrayEvent(wParam, lParam);
      return 0;
    case WM_TIMER:
      if (const std::optional<LifecycleEvent> timer = TimerEvent(wParam)) {
        // Only the tray retry repeats.
        if (*timer != LifecycleEvent::kTrayRetryTimer) ::KillTimer(window, wParam);
        static_cast<void>(Dispatch(*timer));
        return 0;
      }
      break;
    case WM_DPICHANGED:
      // The base handler resizes the window.
      desktop_.OnDpiChanged();
      break;
  }

  if (viewController_) {
    if (auto result = viewController_->HandleTopLevelWindowProc(window, message, wParam, lParam)) {
      return *result;
    }
  }
  if (message == WM_FONTCHANGE && viewController_) viewController_->engine()->ReloadSystemFonts();
  return Win32Window::HandleMessage(window, message, wParam, lParam);
}

void FlutterWindow::OnTrayEvent(WPARAM wParam, LPARAM lParam) {
  const TrayEvent event = DecodeTrayEvent(desktop_.trayIcon().version4(), wParam, lParam);
  switch (event.kind) {
    case TrayEventKind::kSelect:
      OpenFromTray();
      return;
    case TrayEventKind::kContextMenu: {
      POINT position{event.x, event.y};
      if (!event.hasAnchor) ::GetCursorPos(&position);
      ShowTrayMenu(position);
      return;
    }
    case TrayEventKind::kIgnored:
      return;
  }
}

void FlutterWindow::OpenFromTray() {
  desktop_.BringWindowToFront();
  SendToUi("open");
}

void FlutterWindow::ShowTrayMenu(POINT position) {
  if (!lifecycle_.idle()) return;
  const DesktopState& state = desktop_.state();
  const std::optional<uint32_t> command =
      TrackTrayMenu(WindowHandle(),
                    BuildTrayMenuEntries(TextsFor(desktop_.trayIcon().language()),
                                         state.initialized(), state.connection()),
                    position);
  if (!command) return;
  // Acted on as chosen, even if the state changed while the menu was open.
  switch (*command) {
    case kTrayCommandOpen:
      OpenFromTray();
      return;
    case kTrayCommandToggle:
      SendToUi("toggle");
      return;
    case kTrayCommandQuit:
      static_cast<void>(Dispatch(LifecycleEvent::kTrayQuit));
      return;
    default:
      // Dismissed: the keyboard focus goes back to the icon.
      desktop_.trayIcon().ReturnFocus();
      return;
  }
}

void FlutterWindow::OnWindowDestroyed() {
  // Closing, quitting and the end of the session all come here.
  if (viewController_) SaveWindowPlacement(Placement());
  desktop_.trayIcon().Remove();
  desktop_.state().EndSession();
  desktop_.Attach(nullptr);
  answers_.Invalidate();
  if (desktopChannel_) {
    // No call may arrive once the engine starts to go away.
    desktopChannel_->SetCallHandler(nullptr);
    desktopChannel_.reset();
  }
  viewController_.reset();
  static_cast<void>(Dispatch(LifecycleEvent::kDestroyed));
}

}  // namespace veltrix
