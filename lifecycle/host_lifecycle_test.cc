// The lifecycle as a table: each row is one edge case, named for what it
// protects. A new edge case is a new row.
#include "lifecycle/host_lifecycle.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <string_view>
#include <thread>

namespace veltrix {
namespace {

using enum LifecycleAction;
using enum LifecycleEvent;
using enum LifecyclePhase;
using State = LifecycleState;

constexpr LifecycleFacts kNoFacts{};
constexpr LifecycleFacts kTrayShown{.trayShown = true};
constexpr LifecycleFacts kToTray{.trayShown = true, .closeToTray = true, .uiListening = true};
constexpr LifecycleFacts kListening{.trayShown = true, .uiListening = true};

// A state written as its phase and the words of what holds in it: "login",
// "frame", "waiting" (for the tray), "busy", "awaiting" or "accepted" (the
// quit asked), "insist".
State At(LifecyclePhase phase, std::string_view holds = {}) {
  State state{.phase = phase};
  while (!holds.empty()) {
    const std::string_view word = holds.substr(0, holds.find(' '));
    holds.remove_prefix(std::min(holds.size(), word.size() + 1));
    bool* flag = word == "login"     ? &state.loginStart
                 : word == "frame"   ? &state.firstFrame
                 : word == "waiting" ? &state.waitingForTray
                 : word == "busy"    ? &state.busy
                 : word == "insist"  ? &state.mayInsist
                                     : nullptr;
    if (flag != nullptr) *flag = true;
    if (flag == nullptr)
      state.ask = word == "awaiting" ? QuitAsk::kAwaitingAnswer : QuitAsk::kAccepted;
  }
  return state;
}

struct Row {
  const char* protects;
  State before;
  LifecycleEvent event;
  LifecycleFacts facts;
  State after;
  LifecycleActions actions;
};

// One row, one edge case.
// clang-format off
const Row kRows[] = {
    // Starting.
    {"a plain start shows on its first frame",
     At(kRunning), kFirstFrame, kNoFacts, At(kRunning, "frame"), {kShow}},
    {"a login start with its icon stays in the tray",
     At(kRunning, "login"), kFirstFrame, kTrayShown, At(kRunning, "login frame"), {}},
    {"a login start without an icon keeps trying for it",
     At(kCreating, "login"), kCreated, kNoFacts, At(kRunning, "login waiting"),
     {kArmTrayRetry, kArmTrayGiveUp}},
    {"a login start waiting for the tray does not show at its first frame",
     At(kRunning, "login waiting"), kFirstFrame, kNoFacts, At(kRunning, "login frame waiting"), {}},
    {"a late icon keeps the login start in the tray",
     At(kRunning, "login frame waiting"), kTrayAdded, kTrayShown,
     At(kRunning, "login frame"), {kCancelTrayRetry}},
    {"a login start that gets no icon within a minute shows its window",
     At(kRunning, "login frame waiting"), kTrayGaveUp, kNoFacts,
     At(kRunning, "login frame"), {kCancelTrayRetry, kShow}},
    {"a login start that gives up before drawing leaves it to the first frame",
     At(kRunning, "login waiting"), kTrayGaveUp, kNoFacts,
     At(kRunning, "login"), {kCancelTrayRetry}},
    {"a quitting window is never shown",
     At(kQuitting), kFirstFrame, kNoFacts, At(kQuitting, "frame"), {}},
    // Closing and quitting.
    {"a close goes to the tray",
     At(kRunning), kClose, kToTray, At(kRunning), {kHideToTray}},
    {"a close during a dialog is ignored",
     At(kRunning, "busy"), kClose, kListening, At(kRunning, "busy"), {}},
    {"a close with close to tray off asks the user interface",
     At(kRunning), kClose, kListening,
     At(kRunning, "awaiting"), {kSendQuit, kArmQuitAnswer, kArmQuitInsist}},
    {"Quit before the user interface listens ends at once",
     At(kRunning), kTrayQuit, kNoFacts, At(kQuitting), {kPostQuit}},
    {"Quit during a dialog is refused",
     At(kRunning, "busy"), kTrayQuit, kListening, At(kRunning, "busy"), {}},
    {"a stuck user interface: no answer in time ends the program",
     At(kRunning, "awaiting"), kQuitAnswerTimer, kListening, At(kQuitting), {kPostQuit}},
    {"a user interface that refuses quit cannot keep the program",
     At(kRunning, "awaiting"), kUiRefusedQuit, kListening, At(kQuitting), {kPostQuit}},
    {"a declined quit keeps running, and the next Quit asks again",
     At(kRunning, "awaiting insist"), kUiDeclinedQuit, kListening, At(kRunning), {}},
    {"a user interface that quits in its own time has no deadline",
     At(kRunning, "accepted"), kQuitAnswerTimer, kListening, At(kRunning, "accepted"), {}},
    {"an accepting answer ends the deadline",
     At(kRunning, "awaiting"), kUiAcceptedQuit, kListening, At(kRunning, "accepted"), {}},
    {"a second Quit soon after the ask changes nothing",
     At(kRunning, "accepted"), kTrayQuit, kListening, At(kRunning, "accepted"), {}},
    {"the ask lets the user insist after a while",
     At(kRunning, "accepted"), kQuitInsistTimer, kListening, At(kRunning, "accepted insist"), {}},
    {"the user insists",
     At(kRunning, "accepted insist"), kTrayQuit, kListening, At(kQuitting), {kPostQuit}},
    {"a stuck user interface's end waits for the user's dialog",
     At(kRunning, "busy awaiting"), kQuitAnswerTimer, kListening, At(kQuitting, "busy"), {}},
    {"a quit put off by a dialog happens when it ends",
     At(kQuitting, "busy"), kOperationEnded, kListening, At(kQuitting), {kPostQuit}},
    {"the user interface's quit ends the program",
     At(kRunning, "awaiting"), kUiQuit, kListening, At(kQuitting), {kPostQuit}},
    {"an answer after the end is ignored",
     At(kQuitting), kUiRefusedQuit, kListening, At(kQuitting), {}},
    {"a quit message that could not be posted leaves a later quit free",
     At(kQuitting), kQuitPostFailed, kListening, At(kRunning), {}},
    {"the quit message takes the window down",
     At(kQuitting), kQuitMessage, kListening, At(kQuitting), {kTearDown}},
    // The session and the console.
    {"the session's end does not ask",
     At(kRunning, "accepted"), kSessionEnd, kListening, At(kEnding), {kTearDown}},
    {"the session ending during a dialog cancels it first",
     At(kQuitting, "busy"), kSessionEnd, kListening, At(kEnding, "busy"), {kHideAndEndDialogs}},
    {"the window goes once the cancelled dialog has unwound",
     At(kEnding, "busy"), kOperationEnded, kListening, At(kEnding), {kPostQuit}},
    {"the console closing ends the program like the session",
     At(kRunning), kConsoleClosed, kListening, At(kEnding), {kTearDown}},
    // A second start asking to show.
    {"a second start while quitting waits for the end",
     At(kQuitting), kShowRequested, kListening, At(kQuitting), {kDeclineHandOver}},
    {"a second start while the quit awaits its answer waits too",
     At(kRunning, "awaiting"), kShowRequested, kListening,
     At(kRunning, "awaiting"), {kDeclineHandOver}},
    {"a second start brings the window forward",
     At(kRunning, "accepted"), kShowRequested, kListening,
     At(kRunning, "accepted"), {kBringToFront}},
    // The end.
    {"a failed start does not end the loop its message box needs",
     At(kCreating), kDestroyed, kNoFacts, At(kEnded), {}},
    {"a destroyed window ends the loop",
     At(kEnding), kDestroyed, kNoFacts, At(kEnded), {kEndLoop}},
};
// clang-format on

TEST(HostLifecycleTest, EveryEdgeCaseIsARow) {
  for (const Row& row : kRows) {
    const LifecycleStep step = NextLifecycleStep(row.before, row.event, row.facts);
    EXPECT_TRUE(step.state == row.after) << row.protects;
    EXPECT_EQ(step.actions, row.actions)
        << row.protects << ": " << DescribeLifecycleStep(row.event, step.actions);
  }
}

TEST(HostLifecycleTest, TraceLinesNameEventAndActions) {
  EXPECT_EQ(DescribeLifecycleStep(kFirstFrame, {kShow}), "first-frame -> show");
  EXPECT_EQ(DescribeLifecycleStep(kTrayQuit, {kSendQuit, kArmQuitAnswer}),
            "tray-quit -> send-quit, arm-quit-answer");
  EXPECT_EQ(DescribeLifecycleStep(kDestroyed, {}), "destroyed -> nothing");
}

// Natively only: a death test under Wine would start the whole program again.
#ifndef _WIN32
TEST(HostLifecycleDeathTest, IsUsedOnItsOwnThreadOnly) {
  HostLifecycle lifecycle(false);
  EXPECT_DEATH(std::thread([&] { lifecycle.Handle(kCreated, kNoFacts); }).join(), "another thread");
}
#endif

}  // namespace
}  // namespace veltrix
