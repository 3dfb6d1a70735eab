#include "window/window_decisions.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <limits>
#include <tuple>

namespace veltrix {
namespace {

TEST(WindowDecisionsTest, ScalesTheStartWindowForTheMonitor) {
  const auto at = [](uint32_t dpi) {
    const WindowBounds b = ScaleWindowBounds({10, 10}, {1280, 720}, dpi);
    return std::make_tuple(b.x, b.y, b.width, b.height);
  };
  // 10 * 1.75 = 17.5: truncated, not rounded; no DPI is taken as 96, never as zero size.
  EXPECT_EQ(at(168), std::make_tuple(17, 17, 2240, 1260));
  EXPECT_EQ(at(0), std::make_tuple(10, 10, 1280, 720));
}

TEST(WindowDecisionsTest, ScalingTruncatesTowardZeroInsideTheIntegerRange) {
  EXPECT_EQ(ScaleLogical(-10, 1.75), -17);
  const double huge = ScaleFactorForDpi(std::numeric_limits<uint32_t>::max());
  EXPECT_EQ(ScaleLogical(1280, huge), std::numeric_limits<int32_t>::max());
  EXPECT_EQ(ScaleLogical(-1280, huge), std::numeric_limits<int32_t>::min());
}

TEST(WindowDecisionsTest, DarkTitleBarAttributeFollowsTheBuild) {
  EXPECT_EQ(DarkModeAttribute(18363), 19u);  // 1909
  EXPECT_EQ(DarkModeAttribute(19041), 20u);  // 2004
  EXPECT_EQ(DarkModeAttribute(22631), 20u);
}

}  // namespace
}  // namespace veltrix
