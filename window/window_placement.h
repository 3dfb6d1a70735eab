#ifndef WINDOW_WINDOW_PLACEMENT_H_
#define WINDOW_WINDOW_PLACEMENT_H_

#include <array>
#include <cstdint>
#include <optional>
#include <span>
#include <vector>

#include "window/window_decisions.h"

namespace veltrix {

// Where the window goes at a start, in physical pixels on the screen: its
// normal (not maximised) bounds and whether it is maximised.
struct WindowPlacement {
  WindowBounds bounds;
  bool maximized = false;
};

// The first start's bounds: `wanted` when it lies inside the work area of
// its monitor, otherwise no larger than the work area and centred in it.
WindowBounds FitToWorkArea(WindowBounds wanted, WindowBounds workArea);

// The smallest window the user can make, for the monitor's DPI.
Size MinimumWindowSize(uint32_t dpi);

// Whether enough of the window's title bar lies in one of the monitors'
// work areas for the user to take hold of it: a saved placement from a
// monitor that is gone, or moved, is not used.
bool TitleBarReachable(WindowBounds bounds, const std::vector<WindowBounds>& workAreas,
                       uint32_t dpi);

// The saved form of a placement: five little-endian 32-bit words (left, top,
// width, height, maximised). Anything else, or a size no monitor could
// show, reads as nothing saved.
inline constexpr size_t kSavedPlacementSize = 20;
std::array<uint8_t, kSavedPlacementSize> EncodePlacement(const WindowPlacement& placement);
std::optional<WindowPlacement> DecodePlacement(std::span<const uint8_t> saved);

}  // namespace veltrix

#endif  // WINDOW_WINDOW_PLACEMENT_H_
