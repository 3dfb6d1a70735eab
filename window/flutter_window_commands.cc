// The host window's answers to the tray icon, its menu, a close of the
// window and the quit message: everything that turns a user's action into
// a command for the user interface.
#include <memory>

#include "tray/tray_commands.h"
#include "tray/tray_event.h"
#include "tray/tray_menu.h"
#include "tray/tray_menu_entries.h"
#include "window/flutter_window.h"

namespace veltrix {

void FlutterWindow::SendUiCommand(const std::string& method) {
  switch (RouteUiCommand(bridge_, desktopChannel_ != nullptr, method)) {
    case UiCommandRoute::kSendToUi:
      // No reply is awaited: the user interface acts on it in its own time.
      desktopChannel_->InvokeMethod(method, nullptr);
      return;
    case UiCommandRoute::kQuitHost:
      bridge_.quitting = true;
      ::PostMessageW(WindowHandle(), kQuitMessage, 0, 0);
      return;
    case UiCommandRoute::kDrop:
      return;
  }
}

void FlutterWindow::OnTrayEvent(WPARAM wParam, LPARAM lParam) {
  const TrayEvent event = DecodeTrayEvent(bridge_.trayVersion4, wParam, lParam);
  switch (event.kind) {
    case TrayEventKind::kSelect:
      BringWindowToFront();
      SendUiCommand("open");
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

void FlutterWindow::ShowTrayMenu(POINT position) {
  const std::optional<uint32_t> command = TrackTrayMenu(WindowHandle(), bridge_, position);
  if (!command) return;
  // Acted on as chosen, even if the state changed while the menu was open.
  switch (*command) {
    case kTrayCommandOpen:
      BringWindowToFront();
      SendUiCommand("open");
      return;
    case kTrayCommandToggle:
      SendUiCommand("toggle");
      return;
    case kTrayCommandQuit:
      SendUiCommand("quit");
      return;
    default:
      // Dismissed: the keyboard focus goes back to the icon.
      trayIcon_.ReturnFocus();
      return;
  }
}

void FlutterWindow::OnCloseRequest() {
  switch (DecideCloseAction(bridge_)) {
    case CloseAction::kIgnore:
      return;
    case CloseAction::kHideToTray:
      // Hiding without an icon would leave the user no way back.
      if (bridge_.trayAvailable || EnsureTrayIcon()) {
        ::ShowWindow(WindowHandle(), SW_HIDE);
      } else {
        BringWindowToFront();
      }
      return;
    case CloseAction::kQuit:
      SendUiCommand("quit");
      return;
  }
}

}  // namespace veltrix
