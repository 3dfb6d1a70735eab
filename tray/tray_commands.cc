#include "tray/tray_commands.h"

namespace veltrix {

CloseAction DecideCloseAction(const DesktopBridge& bridge) {
  if (bridge.desktopBusy) return CloseAction::kIgnore;
  if (bridge.closeToTray && !bridge.quitting) return CloseAction::kHideToTray;
  return CloseAction::kQuit;
}

UiCommandRoute RouteUiCommand(const DesktopBridge& bridge, bool channelOpen,
                              std::string_view method) {
  if (bridge.initialized && channelOpen) return UiCommandRoute::kSendToUi;
  return method == "quit" ? UiCommandRoute::kQuitHost : UiCommandRoute::kDrop;
}

}  // namespace veltrix
