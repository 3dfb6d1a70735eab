#include "window/window_placement.h"

#include <gtest/gtest.h>

#include <tuple>

namespace veltrix {
namespace {

auto Tuple(const WindowBounds& b) { return std::make_tuple(b.x, b.y, b.width, b.height); }

TEST(WindowPlacementTest, FirstStartIsFittedToTheWorkArea) {
  const WindowBounds start = ScaleWindowBounds({10, 10}, {1280, 720}, 96);
  const struct {
    const char* what;
    WindowBounds wanted, workArea, expected;
  } cases[] = {
      {"fits", start, {0, 0, 1920, 1040}, start},
      {"exactly as wide as the work area",
       {0, 10, 1920, 720},
       {0, 0, 1920, 1040},
       {0, 10, 1920, 720}},
      {"exactly as tall", {10, 0, 1280, 1040}, {0, 0, 1920, 1040}, {10, 0, 1280, 1040}},
      {"150 % on 1080p",
       ScaleWindowBounds({10, 10}, {1280, 720}, 144),
       {0, 0, 1920, 1040},
       {0, 0, 1920, 1040}},
      {"taskbar on top", start, {0, 40, 1920, 1040}, {320, 200, 1280, 720}},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(Tuple(FitToWorkArea(c.wanted, c.workArea)), Tuple(c.expected)) << c.what;
  }
}

TEST(WindowPlacementTest, SavedPlacementNeedsItsTitleBarInAWorkArea) {
  const std::vector<WindowBounds> monitors = {{0, 0, 1920, 1040}, {1920, 0, 1280, 984}};
  const struct {
    const char* what;
    WindowBounds saved;
    bool reachable;
  } cases[] = {
      {"on the second monitor", {2000, 100, 900, 600}, true},
      {"on a monitor that is gone", {3300, 100, 900, 600}, false},
      {"a sliver at the right edge", {3100, 100, 900, 600}, false},
      {"just enough at the right edge", {3080, 100, 900, 600}, true},
      {"title bar half above the top", {100, -15, 900, 600}, true},
      {"title bar mostly above the top", {100, -16, 900, 600}, false},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(TitleBarReachable(c.saved, monitors, 96), c.reachable) << c.what;
  }
}

}  // namespace
}  // namespace veltrix
