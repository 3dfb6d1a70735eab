#include "app/hand_over.h"

#include <gtest/gtest.h>

namespace veltrix {
namespace {

using std::chrono::milliseconds;

TEST(HandOverTest, ACopyStartedElevatedCountsAsRunning) {
  EXPECT_TRUE(RunsAsSessionCopy(SessionLock::kTaken));
  EXPECT_TRUE(RunsAsSessionCopy(SessionLock::kUnavailable));
  EXPECT_FALSE(RunsAsSessionCopy(SessionLock::kHeld));
  EXPECT_FALSE(RunsAsSessionCopy(SessionLock::kAccessDenied));
}

TEST(HandOverTest, ALaterStartIsNeverLost) {
  const struct {
    RunningCopy copy;
    milliseconds waited;
    bool loginStart;
    HandOverStep step;
  } cases[] = {
      {RunningCopy::kLoading, milliseconds(29999), false, HandOverStep::kWait},
      {RunningCopy::kLoading, kWaitForLoading, false, HandOverStep::kNotResponding},
      {RunningCopy::kLoading, milliseconds(0), true, HandOverStep::kLeaveAlone},
      {RunningCopy::kReady, milliseconds(5000), false, HandOverStep::kAskToShow},
      {RunningCopy::kReady, milliseconds(0), true, HandOverStep::kLeaveAlone},
      // A login start during a quit runs too: the quitting copy will not.
      {RunningCopy::kQuitting, milliseconds(9999), true, HandOverStep::kWait},
      {RunningCopy::kQuitting, kWaitForQuitting, false, HandOverStep::kNotResponding},
      {RunningCopy::kEnded, milliseconds(9999), false, HandOverStep::kRunHere},
      {RunningCopy::kHung, milliseconds(0), false, HandOverStep::kNotResponding},
      {RunningCopy::kHung, milliseconds(0), true, HandOverStep::kLeaveAlone},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(NextHandOverStep(c.copy, c.waited, c.loginStart), c.step)
        << static_cast<int>(c.copy) << " after " << c.waited.count() << " ms, login "
        << c.loginStart;
  }
}

}  // namespace
}  // namespace veltrix
