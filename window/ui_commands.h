#ifndef WINDOW_UI_COMMANDS_H_
#define WINDOW_UI_COMMANDS_H_

#include <chrono>
#include <functional>
#include <memory>
#include <string>

#include "desktop/desktop_state.h"
#include "engine_client/method_result.h"
#include "window/window_decisions.h"

namespace veltrix {

// Sends the commands for the user's actions on the tray and the close
// button to the user interface. "open" and "toggle" go out without waiting
// for a reply. Before the user interface has initialised nobody listens:
// "quit" then quits the host itself and the others are dropped.
//
// The user can always quit: the host quits by itself when the user interface
// refuses "quit" (an error, or no handler), and when it has not asked the
// host to quit kQuitGrace after the first "quit", whatever it answered.
class UiCommands {
 public:
  // How long the user interface has to finish quitting.
  static constexpr std::chrono::milliseconds kQuitGrace{5000};

  // Sends a method call without arguments; the result, if any, receives
  // the answer.
  using SendFunction =
      std::function<void(const std::string& method, std::unique_ptr<flutter::MethodResult>)>;

  // `quitHost` ends the program without the user interface; true when the
  // quit is on its way. `startQuitTimer` has OnQuitTimer called once, after
  // kQuitGrace.
  UiCommands(DesktopState& state, std::function<bool()> quitHost,
             std::function<void()> startQuitTimer);

  UiCommands(const UiCommands&) = delete;
  UiCommands& operator=(const UiCommands&) = delete;

  // The desktop channel while it is open; empty once it has gone.
  void Connect(SendFunction send) { send_ = std::move(send); }

  void Send(UiCommand command);

  // kQuitGrace has passed since the first "quit".
  void OnQuitTimer();

  // "quit" went to the user interface: the program ends within kQuitGrace.
  bool quitAsked() const { return quitTimerStarted_; }

 private:
  friend class QuitAnswer;

  void AskToQuit();
  // Quitting begins only once the quit message is on its way, so that a
  // failed post leaves every later quit free to try again.
  void QuitHost();

  DesktopState& state_;
  std::function<bool()> quitHost_;
  std::function<void()> startQuitTimer_;
  SendFunction send_;
  // One timer from the first "quit": asking again does not put the end off.
  bool quitTimerStarted_ = false;
  // The answer to "quit" may come after this is gone; it holds only a weak
  // reference to this.
  std::shared_ptr<UiCommands*> self_ = std::make_shared<UiCommands*>(this);
};

}  // namespace veltrix

#endif  // WINDOW_UI_COMMANDS_H_
