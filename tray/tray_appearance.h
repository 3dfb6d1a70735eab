#ifndef TRAY_TRAY_APPEARANCE_H_
#define TRAY_TRAY_APPEARANCE_H_

#include <cstddef>
#include <cstdint>
#include <span>
#include <string_view>

#include "base/connection_state.h"
#include "base/product.h"

namespace veltrix {

// What the tray icon shows: its tooltip and the size of its image.

// The side of the notification area's small icon at `dpi`, in pixels: 16 at
// 96 DPI, scaled and rounded. Loading the image at this size keeps it crisp;
// the shell would otherwise scale a larger one down.
int SmallIconSize(uint32_t dpi);

// Size of the shell's tooltip field, terminator included.
inline constexpr size_t kTrayTipCapacity = 128;

// The tooltip shown right after the icon is added.
inline constexpr std::wstring_view kTrayTipInitial = kProductName;

// Copies `text` into `tip`, cut to fit and always terminated. An empty
// buffer is left alone.
void CopyTrayTip(std::wstring_view text, std::span<wchar_t> tip);

// "VELTRIX VPN - " and the label of `connection`.
void FormatTrayTooltip(ConnectionState connection, std::span<wchar_t> tip);

// The icon resource for `connection`: the application icon while
// disconnected; with an amber badge while the tunnel changes, a green one
// while connected, a red one on an error.
int TrayImageFor(ConnectionState connection);

// The two balloons the icon ever shows. The first time the window goes to
// the tray for this user:
inline constexpr std::wstring_view kStillRunningTitle = kProductName;
inline constexpr std::wstring_view kStillRunningText =
    L"VELTRIX VPN is still running. Open it from its icon in the notification area.";
// A drop of the connection the user did not ask for, a warning:
inline constexpr std::wstring_view kConnectionLostTitle = L"VPN connection lost";
inline constexpr std::wstring_view kConnectionLostText =
    L"VELTRIX VPN lost the connection. Your traffic may not be protected until it reconnects.";

// A connected tunnel that dropped (to reconnecting or to an error) while the
// user cannot see the window: one warning per drop, since only a connected
// tunnel can drop; none for a disconnect the user asked for.
bool AnnouncesConnectionLost(ConnectionState from, ConnectionState to, bool windowInView);

}  // namespace veltrix

#endif  // TRAY_TRAY_APPEARANCE_H_
