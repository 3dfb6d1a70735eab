#include "window/window_decisions.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <limits>

namespace veltrix {
namespace {

TEST(WindowDecisionsTest, ScalingTruncatesTowardZeroInsideTheIntegerRange) {
  EXPECT_EQ(ScaleLogical(-10, 1.75), -17);
  EXPECT_EQ(ScaleLogical(1280, ScaleFactorForDpi(0)), 1280) << "no DPI reported counts as 96";
  const double huge = ScaleFactorForDpi(std::numeric_limits<uint32_t>::max());
  EXPECT_EQ(ScaleLogical(1280, huge), std::numeric_limits<int32_t>::max());
  EXPECT_EQ(ScaleLogical(-1280, huge), std::numeric_limits<int32_t>::min());
}

TEST(WindowDecisionsTest, DarkTitleBarAttributeFollowsTheBuild) {
  EXPECT_EQ(DarkModeAttribute(18363), 19u);  // 1909
  EXPECT_EQ(DarkModeAttribute(19041), 20u);  // 2004
}

}  // namespace
}  // namespace veltrix
