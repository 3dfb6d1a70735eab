#ifndef WINDOW_WINDOW_DECISIONS_H_
#define WINDOW_WINDOW_DECISIONS_H_

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "desktop/desktop_state.h"

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

enum class CloseAction {
  // A native dialog or launch is running; the window stays as it is.
  kIgnore,
  // Hide to the tray (or, when no icon can be had, stay in front).
  kHideToTray,
  // Ask the user interface to quit ("quit"), or quit directly.
  kQuit,
};

// What a close of the window means in the current state.
CloseAction DecideCloseAction(const DesktopState& state);

// The commands the host sends to the user interface for the user's actions
// on the tray and the close button.
enum class UiCommand { kOpen, kToggle, kQuit };

// The command's method name on the desktop channel.
std::string_view UiCommandName(UiCommand command);

enum class UiCommandRoute {
  // Send the call on the desktop channel, without waiting for a reply.
  kSendToUi,
  // Nobody listens yet and the command is "quit": the host quits itself.
  kQuitHost,
  // Nobody listens yet: "open" and "toggle" are dropped.
  kDrop,
};

// Where a tray or close command goes: to the user interface once it has
// initialised and the channel is open, otherwise handled by the host.
UiCommandRoute RouteUiCommand(bool initialized, bool channelOpen, UiCommand command);

}  // namespace veltrix

#endif  // WINDOW_WINDOW_DECISIONS_H_
