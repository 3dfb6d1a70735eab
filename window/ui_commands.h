#ifndef WINDOW_UI_COMMANDS_H_
#define WINDOW_UI_COMMANDS_H_

#include <chrono>
#include <functional>
#include <memory>
#include <optional>
#include <string>

#include "desktop/desktop_operations.h"
#include "desktop/desktop_state.h"
#include "engine_client/method_channel.h"

namespace veltrix {

// The commands the host sends to the user interface for the user's actions
// on the tray and the close button: "open", "toggle" and "quit". "open" and
// "toggle" go out without waiting for a reply. Before the user interface has
// initialised nobody listens: "quit" then quits the host itself and the
// others are dropped.
//
// The user can always quit: when the user interface refuses "quit" (an
// error, or no handler), or leaves it unanswered and the user asks again
// three seconds later or more, the host quits by itself.
class UiCommands {
 public:
  UiCommands(DesktopState& state, DesktopOperations& host);

  UiCommands(const UiCommands&) = delete;
  UiCommands& operator=(const UiCommands&) = delete;

  // The desktop channel while it is open; null once it has gone.
  void Connect(flutter::CodecMethodChannel* channel) { channel_ = channel; }

  void Send(const std::string& method);

 private:
  void AskToQuit();
  // Quitting begins only once the quit message is on its way, so that a
  // failed post leaves every later quit free to try again.
  void QuitHost();

  DesktopState& state_;
  DesktopOperations& host_;
  flutter::CodecMethodChannel* channel_ = nullptr;
  // When the unanswered "quit" went out.
  std::optional<std::chrono::steady_clock::time_point> quitAskedAt_;
  // Reached by the answer to "quit", which may come after this is gone.
  std::shared_ptr<std::function<void(bool refused)>> onQuitAnswer_;
};

}  // namespace veltrix

#endif  // WINDOW_UI_COMMANDS_H_
