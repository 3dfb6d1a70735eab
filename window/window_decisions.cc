#include "window/window_decisions.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace veltrix {

namespace {
constexpr uint32_t kBaseDpi = 96;
}  // namespace

bool IsLoginStart(const std::vector<std::string>& arguments) {
  return std::find(arguments.begin(), arguments.end(), "--autostart") != arguments.end();
}

double ScaleFactorForDpi(uint32_t dpi) {
  return static_cast<double>(dpi == 0 ? kBaseDpi : dpi) / kBaseDpi;
}

int32_t ScaleLogical(int32_t logical, double scaleFactor) {
  const double scaled = std::trunc(logical * scaleFactor);
  // Converting an out-of-range double is undefined, so clamp first.
  if (!(scaled >= std::numeric_limits<int32_t>::min())) return std::numeric_limits<int32_t>::min();
  if (scaled > std::numeric_limits<int32_t>::max()) return std::numeric_limits<int32_t>::max();
  return static_cast<int32_t>(scaled);
}

WindowBounds ScaleWindowBounds(Point origin, Size size, uint32_t dpi) {
  const double factor = ScaleFactorForDpi(dpi);
  return WindowBounds{ScaleLogical(origin.x, factor), ScaleLogical(origin.y, factor),
                      ScaleLogical(size.width, factor), ScaleLogical(size.height, factor)};
}

uint32_t DarkModeAttribute(uint32_t windowsBuild) { return windowsBuild >= 19041 ? 20 : 19; }

}  // namespace veltrix
