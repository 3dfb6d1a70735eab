#ifndef WINDOW_UI_COMMANDS_H_
#define WINDOW_UI_COMMANDS_H_

#include <string>

#include "desktop/desktop_operations.h"
#include "desktop/desktop_state.h"
#include "engine_client/method_channel.h"

namespace veltrix {

// The commands the host sends to the user interface for the user's actions
// on the tray and the close button: "open", "toggle" and "quit". They go out
// without waiting for a reply; the user interface acts on them in its own
// time. Before it has initialised nobody listens: "quit" then quits the host
// itself and the others are dropped.
class UiCommands {
 public:
  UiCommands(DesktopState& state, DesktopOperations& host) : state_(state), host_(host) {}

  UiCommands(const UiCommands&) = delete;
  UiCommands& operator=(const UiCommands&) = delete;

  // The desktop channel while it is open; null once it has gone.
  void Connect(flutter::CodecMethodChannel* channel) { channel_ = channel; }

  void Send(const std::string& method);

 private:
  DesktopState& state_;
  DesktopOperations& host_;
  flutter::CodecMethodChannel* channel_ = nullptr;
};

}  // namespace veltrix

#endif  // WINDOW_UI_COMMANDS_H_
