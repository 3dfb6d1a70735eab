#include "window/flutter_window.h"

#include <algorithm>
#include <utility>

#include "desktop/desktop_dispatcher.h"
#include "desktop/run_at_login.h"
#include "diagnostics/save_diagnostics.h"
#include "engine_client/standard_method_codec.h"
#include "launch/service_repair_launch.h"
#include "launch/update_installer_launch.h"
#include "tray/bring_to_front.h"
#include "window/engine_plugins.h"

namespace veltrix {

namespace {

constexpr char kDesktopChannelName[] = "veltrix/desktop";
constexpr char kAutostartArgument[] = "--autostart";

}  // namespace

FlutterWindow::FlutterWindow(const flutter::EngineProject& project)
    : project_(project), trayIcon_(bridge_) {}

FlutterWindow::~FlutterWindow() {
  // While this is still a FlutterWindow, so that its own teardown runs.
  Destroy();
}

bool FlutterWindow::OnWindowCreated() {
  if (!Win32Window::OnWindowCreated()) return false;

  const RECT frame = ClientArea();
  viewController_ = std::make_unique<flutter::FlutterViewController>(
      frame.right - frame.left, frame.bottom - frame.top, project_);
  if (viewController_->engine() == nullptr || viewController_->view() == nullptr) return false;

  RegisterEnginePlugins(viewController_->engine());
  AttachContent(viewController_->view()->NativeWindow());

  const auto& arguments = project_.entryPointArguments();
  bridge_.autostart =
      std::find(arguments.begin(), arguments.end(), kAutostartArgument) != arguments.end();

  trayIcon_.RegisterTaskbarCreated(WindowHandle());
  EnsureTrayIcon();

  desktopChannel_ = std::make_unique<flutter::CodecMethodChannel>(
      viewController_->engine()->messenger(), kDesktopChannelName,
      &flutter::StandardMethodCodec::SharedInstance());
  desktopChannel_->SetCallHandler(
      [this](const flutter::MethodCall& call, std::unique_ptr<flutter::MethodResult> result) {
        HandleDesktopCall(call, std::move(result));
      });

  viewController_->engine()->SetNextFrameCallback([this]() { OnFirstFrame(); });
  viewController_->ForceRedraw();
  return true;
}

void FlutterWindow::HandleDesktopCall(const flutter::MethodCall& call,
                                      std::unique_ptr<flutter::MethodResult> result) {
  HandleDesktopMethod(bridge_, *this, call, std::move(result));
}

void FlutterWindow::OnFirstFrame() {
  if (bridge_.autostart && bridge_.trayAvailable) return;
  Show();
}

LRESULT FlutterWindow::HandleMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  // These never reach the engine, the plug-ins or the base handler.
  if (trayIcon_.taskbarCreatedMessage() != 0 && message == trayIcon_.taskbarCreatedMessage()) {
    trayIcon_.OnTaskbarCreated(WindowHandle());
    return 0;
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
        bridge_.quitting = true;
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
  }

  if (viewController_) {
    if (auto result = viewController_->HandleTopLevelWindowProc(window, message, wParam, lParam)) {
      return *result;
    }
  }
  if (message == WM_FONTCHANGE && viewController_) viewController_->engine()->ReloadSystemFonts();
  return Win32Window::HandleMessage(window, message, wParam, lParam);
}

void FlutterWindow::OnWindowDestroyed() {
  // Every step tolerates a repeat: this runs on Destroy and on WM_DESTROY.
  trayIcon_.Remove();
  bridge_.initialized = false;
  if (desktopChannel_) {
    // No call may arrive once the engine starts to go away.
    desktopChannel_->SetCallHandler(nullptr);
    desktopChannel_.reset();
  }
  viewController_.reset();
  Win32Window::OnWindowDestroyed();
}

void FlutterWindow::DestroyAndQuit() {
  SetQuitOnDestroy(true);
  Destroy();
}

bool FlutterWindow::EnsureTrayIcon() { return trayIcon_.Ensure(WindowHandle()); }

void FlutterWindow::RefreshTrayTooltip() { trayIcon_.RefreshTooltip(WindowHandle()); }

void FlutterWindow::BringWindowToFront() { veltrix::BringWindowToFront(WindowHandle(), bridge_); }

uint32_t FlutterWindow::PostQuitRequest() {
  // Without a window the message would go to the thread and be lost.
  if (WindowHandle() == nullptr) return ERROR_INVALID_WINDOW_HANDLE;
  if (::PostMessageW(WindowHandle(), kQuitMessage, 0, 0)) return 0;
  // A failure must never read as success.
  const DWORD error = ::GetLastError();
  return error != 0 ? error : ERROR_INVALID_WINDOW_HANDLE;
}

uint32_t FlutterWindow::SetRunAtLogin(bool enable) { return veltrix::SetRunAtLogin(enable); }

// The long operations own their modal UI (elevation prompt, Save As) and
// answer the result themselves.

void FlutterWindow::LaunchServiceRepair(flutter::MethodResult& result) {
  veltrix::LaunchServiceRepair(WindowHandle(), result);
}

void FlutterWindow::LaunchUpdateInstaller(const std::string& path, const std::string& sha256,
                                          uint64_t size, flutter::MethodResult& result) {
  veltrix::LaunchUpdateInstaller(WindowHandle(), path, sha256, size, result);
}

void FlutterWindow::SaveDiagnostics(const flutter::EncodableValue* arguments,
                                    flutter::MethodResult& result) {
  veltrix::SaveDiagnostics(WindowHandle(), arguments, result);
}

}  // namespace veltrix
