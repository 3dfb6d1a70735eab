#include "app/hand_over.h"

namespace veltrix {

bool RunsAsSessionCopy(SessionLock lock) {
  return lock == SessionLock::kTaken || lock == SessionLock::kUnavailable;
}

HandOverStep NextHandOverStep(RunningCopy copy, std::chrono::milliseconds waited, bool loginStart) {
  switch (copy) {
    case RunningCopy::kEnded:
    case RunningCopy::kForeign:
      return HandOverStep::kRunHere;
    case RunningCopy::kReady:
      return loginStart ? HandOverStep::kLeaveAlone : HandOverStep::kAskToShow;
    case RunningCopy::kLoading:
      if (loginStart) return HandOverStep::kLeaveAlone;
      return waited < kWaitForLoading ? HandOverStep::kWait : HandOverStep::kNotResponding;
    case RunningCopy::kQuitting:
      return waited < kWaitForQuitting ? HandOverStep::kWait : HandOverStep::kNotResponding;
    case RunningCopy::kHung:
      break;
  }
  return loginStart ? HandOverStep::kLeaveAlone : HandOverStep::kNotResponding;
}

}  // namespace veltrix
