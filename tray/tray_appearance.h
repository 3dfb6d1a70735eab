#ifndef TRAY_TRAY_APPEARANCE_H_
#define TRAY_TRAY_APPEARANCE_H_

#include <cstddef>
#include <cstdint>
#include <span>
#include <string_view>

#include "base/connection_state.h"
#include "base/product.h"
#include "locale/host_texts.h"

namespace veltrix {

// What the tray icon shows: its tooltip, its balloons and the size of its
// image.

// The side of the notification area's small icon at `dpi`, in pixels: 16 at
// 96 DPI, scaled and rounded. Loading the image at this size keeps it crisp;
// the shell would otherwise scale a larger one down.
int SmallIconSize(uint32_t dpi);

// Sizes of the shell's tooltip and balloon fields, terminators included.
inline constexpr size_t kTrayTipCapacity = 128;
inline constexpr size_t kBalloonTitleCapacity = 64;
inline constexpr size_t kBalloonTextCapacity = 256;

// The tooltip shown right after the icon is added.
inline constexpr std::wstring_view kTrayTipInitial = kProductName;

// Copies `text` into `tip`, cut to fit and always terminated. A cut never
// splits a character in two (a surrogate pair). An empty buffer is left
// alone.
void CopyTrayTip(std::wstring_view text, std::span<wchar_t> tip);

// The tooltip of `texts` with the label of `connection`.
void FormatTrayTooltip(const HostTexts& texts, ConnectionState connection, std::span<wchar_t> tip);

// The icon resource for `connection`: the application icon while
// disconnected; with an amber badge while the tunnel changes, a green one
// while connected, a red one on an error.
int TrayImageFor(ConnectionState connection);

// The two balloons the icon ever shows.
enum class TrayBalloon {
  // The first time the window goes to the tray for this user.
  kStillRunning,
  // A drop of the connection the user did not ask for, a warning.
  kConnectionLost,
};

struct TrayBalloonText {
  std::wstring_view title;
  std::wstring_view text;
  bool warning;
};

TrayBalloonText BalloonFor(const HostTexts& texts, TrayBalloon balloon);

// A connected tunnel that dropped (to reconnecting or to an error) while the
// user cannot see the window: one warning per drop, since only a connected
// tunnel can drop; none for a disconnect the user asked for.
bool AnnouncesConnectionLost(ConnectionState from, ConnectionState to, bool windowInView);

}  // namespace veltrix

#endif  // TRAY_TRAY_APPEARANCE_H_
