#ifndef APP_HAND_OVER_H_
#define APP_HAND_OVER_H_

#include <chrono>

namespace veltrix {

// What a start finds when it tries to take the session's place.
enum class SessionLock {
  // Free (or left behind by a copy that crashed): taken now.
  kTaken,
  // Held by a running copy.
  kHeld,
  // Held by a copy this user cannot open: one started elevated.
  kAccessDenied,
  // No lock could be made at all.
  kUnavailable,
};

// Whether this start runs as the session's copy. A copy that cannot be
// opened still runs: a second engine and tray icon beside it would be
// worse than a start that only brings it forward. Without any lock the
// program still runs.
bool RunsAsSessionCopy(SessionLock lock);

// The running copy of the program, as a later start sees it at one look.
enum class RunningCopy {
  // It has ended: this start holds the session's place now.
  kEnded,
  // Still starting: no window yet.
  kLoading,
  // Its window is there to be asked.
  kReady,
  // Going away: its window is gone, or it declined to show it.
  kQuitting,
  // Its window did not answer in time.
  kHung,
  // The window published as its window belongs to another program: there
  // is nobody to hand over to.
  kForeign,
};

enum class HandOverStep {
  // Run as the session's copy.
  kRunHere,
  // Ask the running copy to show its window, then end.
  kAskToShow,
  // End without disturbing it (a login start).
  kLeaveAlone,
  // Look again shortly.
  kWait,
  // Tell the user it is running but not responding, then end.
  kNotResponding,
};

// How long a later start waits for a copy that is starting or quitting.
inline constexpr std::chrono::seconds kWaitForLoading{30};
inline constexpr std::chrono::seconds kWaitForQuitting{10};

// What a later start does next, `waited` after it began to look. A request
// to show is kept while the running copy starts, and a start during a quit
// runs once the quitting copy has ended; neither is lost. Nor is a start
// that finds another program's window where ours should be.
HandOverStep NextHandOverStep(RunningCopy copy, std::chrono::milliseconds waited, bool loginStart);

}  // namespace veltrix

#endif  // APP_HAND_OVER_H_
