#ifndef TRAY_TRAY_COMMANDS_H_
#define TRAY_TRAY_COMMANDS_H_

#include <string_view>

#include "desktop/desktop_bridge.h"

namespace veltrix {

enum class CloseAction {
  // A native dialog or launch is running; the window stays as it is.
  kIgnore,
  // Hide to the tray (or, when no icon can be had, stay in front).
  kHideToTray,
  // Ask the user interface to quit ("quit"), or quit directly.
  kQuit,
};

// What a close of the window means in the current state.
CloseAction DecideCloseAction(const DesktopBridge& bridge);

enum class UiCommandRoute {
  // Send the call on the desktop channel, without waiting for a reply.
  kSendToUi,
  // Nobody listens yet and the command is "quit": the host quits itself.
  kQuitHost,
  // Nobody listens yet: "open" and "toggle" are dropped.
  kDrop,
};

// Where a tray or close command goes: to the user interface once it has
// initialised and the channel is open, otherwise handled by the host.
UiCommandRoute RouteUiCommand(const DesktopBridge& bridge, bool channelOpen,
                              std::string_view method);

}  // namespace veltrix

#endif  // TRAY_TRAY_COMMANDS_H_
