#ifndef TRAY_TRAY_TOOLTIP_H_
#define TRAY_TRAY_TOOLTIP_H_

#include <cstddef>
#include <span>
#include <string_view>

#include "desktop/connection_state.h"

namespace veltrix {

// Size of the shell's tooltip field, terminator included.
inline constexpr size_t kTrayTipCapacity = 128;

// The tooltip shown right after the icon is added.
inline constexpr std::wstring_view kTrayTipInitial = L"VELTRIX VPN";

// Copies `text` into `tip`, cut to fit and always terminated. An empty
// buffer is left alone.
void CopyTrayTip(std::wstring_view text, std::span<wchar_t> tip);

// "VELTRIX VPN - " and the label of `connection`.
void FormatTrayTooltip(ConnectionState connection, std::span<wchar_t> tip);

}  // namespace veltrix

#endif  // TRAY_TRAY_TOOLTIP_H_
