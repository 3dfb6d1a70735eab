#include "lifecycle/host_lifecycle.h"

#include <iterator>
#include <string_view>

namespace veltrix {
namespace {

using enum LifecycleAction;
using enum LifecycleEvent;
using enum LifecyclePhase;

LifecycleStep Stay(const LifecycleState& state, LifecycleActions actions = {}) {
  return {state, std::move(actions)};
}

// The host ends without asking the user interface (any more): now, or once
// the running operation has unwound, so that a dialog the user is answering
// is not pulled away.
LifecycleStep QuitNow(LifecycleState state) {
  state.phase = kQuitting;
  state.ask = QuitAsk::kNone;
  state.mayInsist = false;
  if (state.busy) return Stay(state);
  return Stay(state, {kPostQuit});
}

// Quit in the tray, or a close that does not go to the tray. The user
// interface owns its quit; a user who asks again after kInsistAfter gets it
// at once, and a second ask sooner (a double click) changes nothing.
LifecycleStep AskToQuit(LifecycleState state, const LifecycleFacts& facts) {
  if (state.busy) return Stay(state);
  if (!facts.uiListening) return QuitNow(state);
  if (state.ask != QuitAsk::kNone) return state.mayInsist ? QuitNow(state) : Stay(state);
  state.ask = QuitAsk::kAwaitingAnswer;
  state.mayInsist = false;
  return Stay(state, {kSendQuit, kArmQuitAnswer, kArmQuitInsist});
}

// The session or the console ends: there is no time to ask. A running
// operation's modal loop is inside one of the engine's calls, and the engine
// must not be destroyed under its own stack: out of sight now, the dialog
// cancelled, the window gone once the operation has unwound.
LifecycleStep End(LifecycleState state) {
  state.phase = kEnding;
  state.ask = QuitAsk::kNone;
  state.mayInsist = false;
  return Stay(state, {state.busy ? kHideAndEndDialogs : kTearDown});
}

// Answers to "quit" count only while one is awaited.
bool AwaitingAnswer(const LifecycleState& state) {
  return state.phase == kRunning && state.ask == QuitAsk::kAwaitingAnswer;
}

}  // namespace

LifecycleStep NextLifecycleStep(const LifecycleState& current, LifecycleEvent event,
                                const LifecycleFacts& facts) {
  LifecycleState state = current;
  const bool running = state.phase == kRunning;
  const bool alive = running || state.phase == kQuitting || state.phase == kEnding;
  switch (event) {
    case kCreated:
      if (state.phase != kCreating) return Stay(state);
      state.phase = kRunning;
      // The notification area is often slow at sign-in: a login start keeps
      // trying, for a minute, before the window may show.
      if (!state.loginStart || facts.trayShown) return Stay(state);
      state.waitingForTray = true;
      return Stay(state, {kArmTrayRetry, kArmTrayGiveUp});

    case kFirstFrame:
      state.firstFrame = true;
      if (!running || (state.loginStart && (facts.trayShown || state.waitingForTray))) {
        return Stay(state);
      }
      return Stay(state, {kShow});

    case kTrayAdded:
    case kTrayGaveUp:
      if (!state.waitingForTray) return Stay(state);
      state.waitingForTray = false;
      // Without an icon the window is the user's only way in.
      if (event == kTrayGaveUp && running && state.firstFrame) {
        return Stay(state, {kCancelTrayRetry, kShow});
      }
      return Stay(state, {kCancelTrayRetry});

    case kTrayRefused:
      return Stay(state);

    case kTrayRetryTimer:
      return Stay(state, {state.waitingForTray ? kRetryTray : kCancelTrayRetry});

    case kClose:
      if (!running || state.busy) return Stay(state);
      if (facts.closeToTray) return Stay(state, {kHideToTray});
      return AskToQuit(state, facts);

    case kTrayQuit:
      if (!running) return Stay(state);
      return AskToQuit(state, facts);

    case kUiQuit:
      if (!running) return Stay(state);
      return QuitNow(state);

    case kQuitPostFailed:
      // A later quit tries again.
      if (state.phase == kQuitting) state.phase = kRunning;
      return Stay(state);

    case kUiRefusedQuit:
    case kQuitAnswerTimer:
      // A refusal, no handler, or no answer in time: the user interface
      // cannot quit, the host can.
      if (!AwaitingAnswer(state)) return Stay(state);
      return QuitNow(state);

    case kUiDeclinedQuit:
      if (!AwaitingAnswer(state)) return Stay(state);
      state.ask = QuitAsk::kNone;
      state.mayInsist = false;
      return Stay(state);

    case kUiAcceptedQuit:
      if (!AwaitingAnswer(state)) return Stay(state);
      state.ask = QuitAsk::kAccepted;
      return Stay(state);

    case kQuitInsistTimer:
      if (state.ask != QuitAsk::kNone) state.mayInsist = true;
      return Stay(state);

    case kOperationBegun:
      state.busy = true;
      return Stay(state);

    case kOperationEnded:
      state.busy = false;
      // A quit or an end put off while the operation ran happens now, from
      // the message loop, once the engine's call has returned.
      if (state.phase == kQuitting || state.phase == kEnding) return Stay(state, {kPostQuit});
      return Stay(state);

    case kQuitMessage:
      if (!alive) return Stay(state);
      if (state.busy) return End(state);
      state.phase = state.phase == kRunning ? kQuitting : state.phase;
      return Stay(state, {kTearDown});

    case kSessionEnd:
    case kConsoleClosed:
      if (!alive || state.phase == kEnding) return Stay(state);
      return End(state);

    case kShowRequested:
      // A copy on its way out, or about to know whether it is, declines;
      // the later start waits for its end and runs then.
      if (!running || state.ask == QuitAsk::kAwaitingAnswer) {
        return Stay(state, {kDeclineHandOver});
      }
      return Stay(state, {kBringToFront});

    case kDestroyed:
      state.phase = kEnded;
      state.waitingForTray = false;
      state.ask = QuitAsk::kNone;
      state.mayInsist = false;
      // A failed start never ran the loop; its message box still needs the
      // thread's queue.
      return Stay(state, alive ? LifecycleActions{kEndLoop} : LifecycleActions{});
  }
  return Stay(state);
}

std::string DescribeLifecycleStep(LifecycleEvent event, const LifecycleActions& actions) {
  // clang-format off
  static constexpr std::string_view kEvents[] = {
      "created", "first-frame", "tray-added", "tray-refused", "tray-gave-up", "close",
      "tray-quit", "ui-quit", "quit-post-failed", "ui-refused-quit", "ui-declined-quit",
      "ui-accepted-quit", "tray-retry-timer", "quit-answer-timer", "quit-insist-timer",
      "operation-begun", "operation-ended", "quit-message", "session-end", "console-closed",
      "show-requested", "destroyed"};
  static_assert(std::size(kEvents) == static_cast<size_t>(kDestroyed) + 1);
  static constexpr std::string_view kActions[] = {
      "show", "bring-to-front", "hide-to-tray", "send-quit", "arm-tray-retry",
      "arm-tray-give-up", "cancel-tray-retry", "arm-quit-answer", "arm-quit-insist",
      "retry-tray", "post-quit", "hide-and-end-dialogs", "tear-down", "end-loop",
      "decline-hand-over"};
  // clang-format on
  static_assert(std::size(kActions) == static_cast<size_t>(kDeclineHandOver) + 1);

  std::string line(kEvents[static_cast<size_t>(event)]);
  line += " ->";
  for (size_t i = 0; i < actions.size(); ++i) {
    line += i == 0 ? " " : ", ";
    line += kActions[static_cast<size_t>(actions[i])];
  }
  if (actions.empty()) line += " nothing";
  return line;
}

}  // namespace veltrix
