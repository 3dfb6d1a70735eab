#ifndef WINDOW_UI_COMMANDS_H_
#define WINDOW_UI_COMMANDS_H_

#include <chrono>
#include <functional>
#include <memory>
#include <optional>

#include "desktop/desktop_state.h"
#include "engine_client/method_channel.h"
#include "window/window_decisions.h"

namespace veltrix {

// Sends the commands for the user's actions on the tray and the close
// button to the user interface. "open" and "toggle" go out without waiting for a reply.
// Before the user interface has initialised nobody listens: "quit" then
// quits the host itself and the others are dropped.
//
// The user can always quit: when the user interface refuses "quit" (an
// error, or no handler), or leaves it unanswered and the user asks again
// three seconds later or more, the host quits by itself.
class UiCommands {
 public:
  // `quitHost` ends the program without the user interface; true when the
  // quit is on its way.
  UiCommands(DesktopState& state, std::function<bool()> quitHost);

  UiCommands(const UiCommands&) = delete;
  UiCommands& operator=(const UiCommands&) = delete;

  // The desktop channel while it is open; null once it has gone.
  void Connect(flutter::CodecMethodChannel* channel) { channel_ = channel; }

  void Send(UiCommand command);

 private:
  friend class QuitAnswer;

  void AskToQuit();
  // Quitting begins only once the quit message is on its way, so that a
  // failed post leaves every later quit free to try again.
  void QuitHost();

  DesktopState& state_;
  std::function<bool()> quitHost_;
  flutter::CodecMethodChannel* channel_ = nullptr;
  // When the unanswered "quit" went out.
  std::optional<std::chrono::steady_clock::time_point> quitAskedAt_;
  // The answer to "quit" may come after this is gone; it holds only a weak
  // reference to this.
  std::shared_ptr<UiCommands*> self_ = std::make_shared<UiCommands*>(this);
};

}  // namespace veltrix

#endif  // WINDOW_UI_COMMANDS_H_
