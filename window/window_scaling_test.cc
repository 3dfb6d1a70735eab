#include "window/window_scaling.h"

#include <gtest/gtest.h>

#include <ostream>

#include <cstdint>
#include <limits>
#include <string>

namespace veltrix {
namespace {

struct ScalingCase {
  uint32_t dpi;
  WindowBounds expected;
};

void PrintTo(const ScalingCase& c, std::ostream* os) { *os << c.dpi << " dpi"; }

class WindowScalingTest : public testing::TestWithParam<ScalingCase> {};

TEST_P(WindowScalingTest, ScalesTheStartWindow) {
  const ScalingCase& c = GetParam();
  const WindowBounds bounds = ScaleWindowBounds({10, 10}, {1280, 720}, c.dpi);
  EXPECT_EQ(bounds.x, c.expected.x);
  EXPECT_EQ(bounds.y, c.expected.y);
  EXPECT_EQ(bounds.width, c.expected.width);
  EXPECT_EQ(bounds.height, c.expected.height);
}

INSTANTIATE_TEST_SUITE_P(
    MonitorDpi, WindowScalingTest,
    testing::Values(ScalingCase{96, {10, 10, 1280, 720}}, ScalingCase{120, {12, 12, 1600, 900}},
                    ScalingCase{144, {15, 15, 1920, 1080}},
                    // 10 * 1.75 = 17.5: truncated, not rounded.
                    ScalingCase{168, {17, 17, 2240, 1260}},
                    // 10 * 1.5625 = 15.625 and 720 * 1.5625 = 1125.
                    ScalingCase{150, {15, 15, 2000, 1125}},
                    // A monitor without a DPI is taken as 96, never as zero size.
                    ScalingCase{0, {10, 10, 1280, 720}}),
    [](const testing::TestParamInfo<ScalingCase>& info) {
      return "Dpi" + std::to_string(info.param.dpi);
    });

TEST(ScaleLogicalTest, TruncatesTowardZero) {
  EXPECT_EQ(ScaleLogical(-10, 1.75), -17);
  EXPECT_EQ(ScaleLogical(3, 1.25), 3);
  EXPECT_EQ(ScaleLogical(0, 2.0), 0);
}

TEST(ScaleLogicalTest, StaysInsideTheIntegerRange) {
  const double huge = ScaleFactorForDpi(std::numeric_limits<uint32_t>::max());
  EXPECT_EQ(ScaleLogical(1280, huge), std::numeric_limits<int32_t>::max());
  EXPECT_EQ(ScaleLogical(-1280, huge), std::numeric_limits<int32_t>::min());
}

}  // namespace
}  // namespace veltrix
