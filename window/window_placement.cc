#include "window/window_placement.h"

#include <algorithm>

namespace veltrix {
namespace {

// Logical units.
constexpr Size kMinimumSize{480, 360};
constexpr int32_t kTitleBarHeight = 30;
constexpr int32_t kTitleBarGrip = 120;
// Far beyond any desktop; keeps the arithmetic below inside 32 bits.
constexpr int32_t kCoordinateLimit = 1 << 20;

int64_t Right(const WindowBounds& b) { return int64_t{b.x} + b.width; }
int64_t Bottom(const WindowBounds& b) { return int64_t{b.y} + b.height; }

}  // namespace

WindowBounds FitToWorkArea(WindowBounds wanted, WindowBounds workArea) {
  if (wanted.x >= workArea.x && wanted.y >= workArea.y && Right(wanted) <= Right(workArea) &&
      Bottom(wanted) <= Bottom(workArea)) {
    return wanted;
  }
  const int32_t width = std::min(wanted.width, workArea.width);
  const int32_t height = std::min(wanted.height, workArea.height);
  return {workArea.x + (workArea.width - width) / 2, workArea.y + (workArea.height - height) / 2,
          width, height};
}

Size MinimumWindowSize(uint32_t dpi) {
  const double factor = ScaleFactorForDpi(dpi);
  return {ScaleLogical(kMinimumSize.width, factor), ScaleLogical(kMinimumSize.height, factor)};
}

bool TitleBarReachable(WindowBounds bounds, const std::vector<WindowBounds>& workAreas,
                       uint32_t dpi) {
  const double factor = ScaleFactorForDpi(dpi);
  const int64_t barHeight = ScaleLogical(kTitleBarHeight, factor);
  const int64_t grip = std::min<int64_t>(bounds.width, ScaleLogical(kTitleBarGrip, factor));
  return std::any_of(workAreas.begin(), workAreas.end(), [&](const WindowBounds& work) {
    const int64_t wide = std::min(Right(bounds), Right(work)) - std::max(bounds.x, work.x);
    const int64_t high =
        std::min(int64_t{bounds.y} + barHeight, Bottom(work)) - std::max(bounds.y, work.y);
    return wide >= grip && 2 * high >= barHeight;
  });
}

std::array<uint8_t, kSavedPlacementSize> EncodePlacement(const WindowPlacement& placement) {
  const int32_t words[] = {placement.bounds.x, placement.bounds.y, placement.bounds.width,
                           placement.bounds.height, placement.maximized ? 1 : 0};
  std::array<uint8_t, kSavedPlacementSize> saved{};
  for (size_t i = 0; i < saved.size(); ++i) {
    saved[i] = static_cast<uint8_t>(static_cast<uint32_t>(words[i / 4]) >> (8 * (i % 4)));
  }
  return saved;
}

std::optional<WindowPlacement> DecodePlacement(std::span<const uint8_t> saved) {
  if (saved.size() != kSavedPlacementSize) return std::nullopt;
  int32_t words[5] = {};
  for (size_t i = 0; i < saved.size(); ++i) {
    words[i / 4] = static_cast<int32_t>(static_cast<uint32_t>(words[i / 4]) | uint32_t{saved[i]}
                                                                                  << (8 * (i % 4)));
  }
  const auto inRange = [](int32_t value, int32_t low) {
    return value >= low && value <= kCoordinateLimit;
  };
  if (!inRange(words[0], -kCoordinateLimit) || !inRange(words[1], -kCoordinateLimit) ||
      !inRange(words[2], 1) || !inRange(words[3], 1) || (words[4] != 0 && words[4] != 1)) {
    return std::nullopt;
  }
  return WindowPlacement{{words[0], words[1], words[2], words[3]}, words[4] == 1};
}

}  // namespace veltrix
