#include "window/window_decisions.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <limits>

namespace veltrix {
namespace {

TEST(WindowDecisionsTest, ScalesTheStartWindowForTheMonitor) {
  const struct {
    uint32_t dpi;
    WindowBounds expected;
  } cases[] = {
      {120, {12, 12, 1600, 900}},
      {144, {15, 15, 1920, 1080}},
      // 10 * 1.75 = 17.5: truncated, not rounded.
      {168, {17, 17, 2240, 1260}},
      // A monitor without a DPI is taken as 96, never as zero size.
      {0, {10, 10, 1280, 720}},
  };
  for (const auto& c : cases) {
    const WindowBounds bounds = ScaleWindowBounds({10, 10}, {1280, 720}, c.dpi);
    EXPECT_EQ(bounds.x, c.expected.x) << c.dpi;
    EXPECT_EQ(bounds.y, c.expected.y) << c.dpi;
    EXPECT_EQ(bounds.width, c.expected.width) << c.dpi;
    EXPECT_EQ(bounds.height, c.expected.height) << c.dpi;
  }
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
