#include "app/hand_over.h"

#include <gtest/gtest.h>

#include <tuple>

namespace veltrix {
namespace {

using std::chrono::milliseconds;

TEST(HandOverTest, ALaterStartIsNeverLost) {
  // A copy started elevated, whose lock this user cannot open, counts as running.
  EXPECT_FALSE(RunsAsSessionCopy(SessionLock::kAccessDenied));
  EXPECT_FALSE(RunsAsSessionCopy(SessionLock::kHeld));
  EXPECT_TRUE(RunsAsSessionCopy(SessionLock::kUnavailable));

  using enum RunningCopy;
  using Step = HandOverStep;
  const std::tuple<RunningCopy, milliseconds, bool, HandOverStep> cases[] = {
      {kLoading, milliseconds(29999), false, Step::kWait},
      {kLoading, kWaitForLoading, false, Step::kNotResponding},
      {kLoading, milliseconds(0), true, Step::kLeaveAlone},
      {kReady, milliseconds(5000), false, Step::kAskToShow},
      {kReady, milliseconds(0), true, Step::kLeaveAlone},
      // A login start during a quit runs too: the quitting copy will not.
      {kQuitting, milliseconds(9999), true, Step::kWait},
      {kQuitting, kWaitForQuitting, false, Step::kNotResponding},
      {kEnded, milliseconds(9999), false, Step::kRunHere},
      {kForeign, milliseconds(0), true, Step::kRunHere},
      {kHung, milliseconds(0), false, Step::kNotResponding},
      {kHung, milliseconds(0), true, Step::kLeaveAlone},
  };
  for (const auto& [copy, waited, loginStart, step] : cases) {
    EXPECT_EQ(NextHandOverStep(copy, waited, loginStart), step)
        << static_cast<int>(copy) << " after " << waited.count() << " ms, login " << loginStart;
  }
}

}  // namespace
}  // namespace veltrix
