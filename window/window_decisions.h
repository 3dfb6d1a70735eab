#ifndef WINDOW_WINDOW_DECISIONS_H_
#define WINDOW_WINDOW_DECISIONS_H_

#include <cstdint>
#include <string>
#include <vector>

namespace veltrix {

// The host window's decisions, as plain functions of what it knows.

// A start from the Run value: one argument is exactly "--autostart" (no
// other letter case, no value after it).
bool IsLoginStart(const std::vector<std::string>& arguments);

// A position and a size in logical units (96 per inch) or, once scaled,
// in physical pixels.
struct Point {
  int32_t x = 0;
  int32_t y = 0;
};

struct Size {
  int32_t width = 0;
  int32_t height = 0;
};

struct WindowBounds {
  int32_t x = 0;
  int32_t y = 0;
  int32_t width = 0;
  int32_t height = 0;
};

// The monitor's scale: DPI / 96. A monitor that reports no DPI counts as
// 96, so the window never comes out with zero size.
double ScaleFactorForDpi(uint32_t dpi);

// Logical units to pixels, truncated toward zero (not rounded) and held
// inside the 32-bit range.
int32_t ScaleLogical(int32_t logical, double scaleFactor);

// The outer bounds of a window asked for at `origin` with `size`.
WindowBounds ScaleWindowBounds(Point origin, Size size, uint32_t dpi);

// The window attribute that turns the title bar dark: 20
// (DWMWA_USE_IMMERSIVE_DARK_MODE) from Windows 10 2004 (build 19041) on, 19
// on the builds before it.
uint32_t DarkModeAttribute(uint32_t windowsBuild);

}  // namespace veltrix

#endif  // WINDOW_WINDOW_DECISIONS_H_
