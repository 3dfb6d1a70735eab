#ifndef LIFECYCLE_HOST_LIFECYCLE_H_
#define LIFECYCLE_HOST_LIFECYCLE_H_

#include <chrono>
#include <string>
#include <vector>

#include "base/expected.h"
#include "base/thread_checker.h"

namespace veltrix {

// The program's life from the window's creation to its end, in one place:
// the start (and a login start's wait for the notification area), closing,
// the quit asked of the user interface and its answer, the native operations
// that hold everything else off, and the end — asked for, forced by the end
// of the session or of the console, or a failed start. The host window turns
// its messages into events and carries out the actions; nothing here calls
// Windows, so every edge case is a row of a table.

enum class LifecyclePhase {
  // The window is being made; its end now is a failed start.
  kCreating,
  // The window, the engine and the channel are there.
  kRunning,
  // On its way out: the quit message is posted, or will be as soon as the
  // native operation that runs has ended.
  kQuitting,
  // The session or the console ends: no question to the user interface;
  // a running operation's dialog is cancelled, and the window goes once
  // the operation has unwound.
  kEnding,
  // The window has gone.
  kEnded,
};

// Where "quit" asked of the user interface stands.
enum class QuitAsk {
  kNone,
  // Sent; no answer yet. Unanswered for kQuitAnswerTime, the user interface
  // counts as not responding and the host quits.
  kAwaitingAnswer,
  // It answered that it quits in its own time (after asking the user, or
  // once disconnected): no deadline, the host waits for its "quit" call.
  kAccepted,
};

struct LifecycleState {
  LifecyclePhase phase = LifecyclePhase::kCreating;
  // Started from the Run value: the window waits in the tray.
  bool loginStart = false;
  bool firstFrame = false;
  // A login start whose tray icon the shell has not taken yet; the window
  // may not show by itself meanwhile.
  bool waitingForTray = false;
  // A native dialog or launch runs its own modal loop.
  bool busy = false;
  QuitAsk ask = QuitAsk::kNone;
  // kInsistAfter has passed since the open ask: the user may insist.
  bool mayInsist = false;

  bool operator==(const LifecycleState&) const = default;
};

enum class LifecycleEvent {
  // The window, the engine and the channel exist; the first tray try is over.
  kCreated,
  kFirstFrame,
  // A login start's try for its tray icon: taken, or refused again; and the
  // end of its time to wait for one.
  kTrayAdded,
  kTrayRefused,
  kTrayGaveUp,
  // The window's close button (WM_CLOSE).
  kClose,
  // Quit in the tray menu.
  kTrayQuit,
  // The user interface called "quit", and was not refused as busy.
  kUiQuit,
  // The quit message could not be posted.
  kQuitPostFailed,
  // The user interface's answer to "quit": an error or not implemented;
  // success with false (the user chose to stay); any other success.
  kUiRefusedQuit,
  kUiDeclinedQuit,
  kUiAcceptedQuit,
  // The timers, as armed by the actions below.
  kTrayRetryTimer,
  kQuitAnswerTimer,
  kQuitInsistTimer,
  kOperationBegun,
  kOperationEnded,
  // The posted quit message arrived.
  kQuitMessage,
  kSessionEnd,
  kConsoleClosed,
  // A second start of the program asks the window to show.
  kShowRequested,
  kDestroyed,
};

// What else the host window knows when an event arrives.
struct LifecycleFacts {
  // The tray icon is in the notification area.
  bool trayShown = false;
  // Closing hides the window to the tray (the user interface's preference).
  bool closeToTray = false;
  // The user interface has initialised and the channel is open: it can be
  // asked to quit.
  bool uiListening = false;
};

enum class LifecycleAction {
  // The window's first show (kept maximised if it was made so).
  kShow,
  // Restore or show, then to the foreground: the user asked for it.
  kBringToFront,
  // Hide to the tray, or stay in front when no icon can be had.
  kHideToTray,
  // "quit" to the user interface, its answer coming back as an event.
  kSendQuit,
  // Timers: the tray retry repeats until cancelled; the others fire once.
  kArmTrayRetry,
  kArmTrayGiveUp,
  kCancelTrayRetry,
  kArmQuitAnswer,
  kArmQuitInsist,
  // Try the tray icon again; the outcome comes back as an event.
  kRetryTray,
  // Post the quit message; always the first action of its transition, so a
  // refused post (kQuitPostFailed) undoes nothing else.
  kPostQuit,
  // Out of sight now, the icon gone, the window's dialogs cancelled.
  kHideAndEndDialogs,
  // Destroy the window, the engine with it.
  kTearDown,
  // End the thread's message loop.
  kEndLoop,
  // Tell a second start that this copy is on its way out.
  kDeclineHandOver,
};

using LifecycleActions = std::vector<LifecycleAction>;

inline constexpr std::chrono::milliseconds kTrayRetryInterval{1000};
inline constexpr std::chrono::milliseconds kTrayWaitLimit{60000};
inline constexpr std::chrono::milliseconds kQuitAnswerTime{5000};
inline constexpr std::chrono::milliseconds kInsistAfter{3000};

struct LifecycleStep {
  LifecycleState state;
  LifecycleActions actions;
};

// The whole lifecycle: where `event` leads from `state`, and what to do.
LifecycleStep NextLifecycleStep(const LifecycleState& state, LifecycleEvent event,
                                const LifecycleFacts& facts);

// "first-frame -> show", as the lifecycle trace writes it.
std::string DescribeLifecycleStep(LifecycleEvent event, const LifecycleActions& actions);

// The lifecycle of the host window, on the window's thread. The dispatcher,
// the tray and the desktop host read it through the questions below.
class HostLifecycle {
 public:
  explicit HostLifecycle(bool loginStart) { state_.loginStart = loginStart; }

  HostLifecycle(const HostLifecycle&) = delete;
  HostLifecycle& operator=(const HostLifecycle&) = delete;

  LifecycleActions Handle(LifecycleEvent event, const LifecycleFacts& facts) {
    thread_.Check();
    LifecycleStep step = NextLifecycleStep(state_, event, facts);
    state_ = step.state;
    return std::move(step.actions);
  }

  // A native dialog or launch is running.
  bool busy() const { return state_.busy; }
  // On the way out: no icon is added any more, the window is not brought
  // forward, and no long operation starts.
  bool quitting() const { return state_.phase >= LifecyclePhase::kQuitting; }
  // A long operation may start; the tray menu may open.
  bool idle() const { return !busy() && !quitting(); }
  bool waitingForTray() const { return state_.waitingForTray; }
  // Started from the Run value ("--autostart").
  bool loginStart() const { return state_.loginStart; }
  const LifecycleState& state() const { return state_; }

 private:
  LifecycleState state_;
  ThreadChecker thread_;
};

// Feeds the host's lifecycle its events and carries out what it decides: the
// host window. The dispatcher reaches it through this.
class LifecycleDriver {
 public:
  virtual ~LifecycleDriver() = default;

  virtual const HostLifecycle& lifecycle() const = 0;
  // What was decided and done; the Windows error when the quit message could
  // not be posted (the host then goes on as before the event).
  virtual Win32Result<LifecycleActions> Dispatch(LifecycleEvent event) = 0;
};

}  // namespace veltrix

#endif  // LIFECYCLE_HOST_LIFECYCLE_H_
