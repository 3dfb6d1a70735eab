#include "window/flutter_window.h"

#include <algorithm>
#include <optional>
#include <string>
#include <string_view>
#include <utility>

#include "desktop/desktop_dispatcher.h"
#include "engine_client/standard_method_codec.h"
#include "tray/tray_event.h"
#include "tray/tray_menu.h"
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

}  // namespace

FlutterWindow::FlutterWindow(const flutter::EngineProject& project)
    : project_(project),
      desktop_(IsLoginStart(project.entryPointArguments()), kTrayCallbackMessage) {}

FlutterWindow::~FlutterWindow() {
  // While this is still a FlutterWindow, so that its own teardown runs.
  Destroy();
}

bool FlutterWindow::OnWindowCreated() {
  if (!Win32Window::OnWindowCreated()) return false;

  const RECT frame = ClientArea();
  viewController_ = std::make_unique<flutter::FlutterViewController>(
      frame.right - frame.left, frame.bottom - frame.top, project_);
  if (viewController_->engine() == nullptr) {
    startFault_ = StartFault::kEngine;
    return false;
  }
  if (viewController_->view() == nullptr) {
    startFault_ = StartFault::kView;
    return false;
  }

  RegisterEnginePlugins(viewController_->engine());
  AttachContent(viewController_->view()->NativeWindow());

  desktop_.Attach(WindowHandle());
  desktop_.trayIcon().RegisterTaskbarCreated(WindowHandle());
  if (!desktop_.EnsureTrayIcon() && desktop_.state().autostart()) {
    waitingForTray_ = ::SetTimer(WindowHandle(), kTrayRetryTimer, 1000, nullptr) != 0;
  }
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
  desktop_.uiCommands().Connect(
      [channel = desktopChannel_.get()](const std::string& method,
                                        std::unique_ptr<flutter::MethodResult> result) {
        channel->InvokeMethod(method, nullptr, std::move(result));
      });

  viewController_->engine()->SetNextFrameCallback([this]() { OnFirstFrame(); });
  viewController_->ForceRedraw();
  return true;
}

void FlutterWindow::HandleDesktopCall(const flutter::MethodCall& call,
                                      std::unique_ptr<flutter::MethodResult> result) {
  HandleDesktopMethod(desktop_.state(), desktop_, call, std::move(result));
  // A close put off while a long operation ran happens from the message
  // loop, once the engine's call has returned.
  if (closeAfterOperation_ && !desktop_.state().busy()) {
    ::PostMessageW(WindowHandle(), kQuitMessage, 0, 0);
  }
}

void FlutterWindow::OnFirstFrame() {
  firstFrameSeen_ = true;
  if (desktop_.state().autostart() && (desktop_.trayIcon().shown() || waitingForTray_)) return;
  Show();
}

void FlutterWindow::OnTrayRetry() {
  const LoginTray tray = desktop_.RetryLoginTrayIcon();
  if (tray == LoginTray::kStillTrying) return;
  ::KillTimer(WindowHandle(), kTrayRetryTimer);
  waitingForTray_ = false;
  if (tray == LoginTray::kGaveUp && firstFrameSeen_) Show();
}

LRESULT FlutterWindow::HandleMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  // These never reach the engine, the plug-ins or the base handler.
  const UINT taskbarCreated = desktop_.trayIcon().taskbarCreatedMessage();
  if (taskbarCreated != 0 && message == taskbarCreated) {
    // A login start still waiting for its icon tries at once, and goes on
    // waiting if the shell refuses again.
    if (waitingForTray_) {
      OnTrayRetry();
    } else {
      desktop_.OnTaskbarCreated();
    }
    return 0;
  }
  if (message == showRunningMessage_ && showRunningMessage_ != 0) {
    // A copy on its way out declines (0), and the later start waits for
    // its end.
    if (desktop_.state().quitting() || desktop_.uiCommands().quitAsked()) return 0;
    desktop_.BringWindowToFront();
    return 1;
  }
  switch (message) {
    case kQuitMessage:
      DestroyAndQuit();
      return 0;
    case WM_QUERYENDSESSION:
      // The session may end; the window goes on WM_ENDSESSION.
      return 1;
    case WM_ENDSESSION:
      if (wParam != 0) {
        // The user interface is not asked: there is no time for a reply.
        desktop_.state().BeginQuitting();
        DestroyAndQuit();
        return 0;
      }
      break;
    case WM_CLOSE:
      OnCloseRequest();
      return 0;
    case kTrayCallbackMessage:
      OnTrayEvent(wParam, lParam);
      return 0;
    case WM_TIMER:
      if (wParam == kTrayRetryTimer) {
        OnTrayRetry();
      } else if (wParam == kQuitTimer) {
        ::KillTimer(window, kQuitTimer);
        desktop_.uiCommands().OnQuitTimer();
      } else {
        break;
      }
      return 0;
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
  desktop_.uiCommands().Send(UiCommand::kOpen);
}

void FlutterWindow::ShowTrayMenu(POINT position) {
  const DesktopState& state = desktop_.state();
  if (state.busy() || state.quitting()) return;
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
      desktop_.uiCommands().Send(UiCommand::kToggle);
      return;
    case kTrayCommandQuit:
      desktop_.uiCommands().Send(UiCommand::kQuit);
      return;
    default:
      // Dismissed: the keyboard focus goes back to the icon.
      desktop_.trayIcon().ReturnFocus();
      return;
  }
}

void FlutterWindow::OnCloseRequest() {
  switch (DecideCloseAction(desktop_.state())) {
    case CloseAction::kIgnore:
      return;
    case CloseAction::kHideToTray:
      // Hiding without an icon would leave the user no way back.
      if (desktop_.EnsureTrayIcon()) {
        SaveWindowPlacement(Placement());
        ::ShowWindow(WindowHandle(), SW_HIDE);
        desktop_.OnHiddenToTray();
      } else {
        desktop_.BringWindowToFront();
      }
      return;
    case CloseAction::kQuit:
      desktop_.uiCommands().Send(UiCommand::kQuit);
      return;
  }
}

void FlutterWindow::OnWindowDestroyed() {
  // Closing, quitting and the end of the session all come here.
  if (viewController_) SaveWindowPlacement(Placement());
  desktop_.trayIcon().Remove();
  desktop_.state().EndSession();
  desktop_.uiCommands().Connect(nullptr);
  desktop_.Attach(nullptr);
  if (desktopChannel_) {
    // No call may arrive once the engine starts to go away.
    desktopChannel_->SetCallHandler(nullptr);
    desktopChannel_.reset();
  }
  viewController_.reset();
}

void FlutterWindow::DestroyAndQuit() {
  SetQuitOnDestroy(true);
  if (!desktop_.state().busy()) return Destroy();
  // A long operation's modal loop runs inside one of the engine's calls, and
  // the engine must not be destroyed under its own stack: go out of sight
  // now, end the dialog this window owns, and close once the operation has
  // unwound.
  closeAfterOperation_ = true;
  ::ShowWindow(WindowHandle(), SW_HIDE);
  desktop_.trayIcon().Remove();
  EndOwnedDialogs(WindowHandle());
}

}  // namespace veltrix
