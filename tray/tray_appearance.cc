#include "tray/tray_appearance.h"

#include <algorithm>
#include <string>

#include "base/connection_state.h"
#include "base/utf.h"
#include "resources/resource_ids.h"

namespace veltrix {

int SmallIconSize(uint32_t dpi) {
  constexpr uint32_t kBaseDpi = 96;
  const uint64_t scaled = (uint64_t{16} * (dpi == 0 ? kBaseDpi : dpi) + kBaseDpi / 2) / kBaseDpi;
  return static_cast<int>(scaled > 256 ? 256 : scaled);
}

void CopyTrayTip(std::wstring_view text, std::span<wchar_t> tip) {
  if (tip.empty()) return;
  size_t length = std::min(text.size(), tip.size() - 1);
  // Half a character would show as a box.
  if (length < text.size() && length > 0 && IsHighSurrogate(text[length - 1])) --length;
  std::copy_n(text.begin(), length, tip.begin());
  std::fill(tip.begin() + length, tip.end(), L'\0');
}

void FormatTrayTooltip(const HostTexts& texts, ConnectionState connection, std::span<wchar_t> tip) {
  CopyTrayTip(FillPlaceholder(texts.tooltip, ConnectionLabel(texts, connection)), tip);
}

TrayBalloonText BalloonFor(const HostTexts& texts, TrayBalloon balloon) {
  if (balloon == TrayBalloon::kConnectionLost) {
    return {texts.connectionLostTitle, texts.connectionLostText, true};
  }
  return {texts.stillRunningTitle, texts.stillRunningText, false};
}

int TrayImageFor(ConnectionState connection) {
  switch (connection) {
    case ConnectionState::Disconnected:
      break;
    case ConnectionState::Connecting:
    case ConnectionState::Reconnecting:
    case ConnectionState::Disconnecting:
      return VELTRIX_TRAY_ICON_AMBER;
    case ConnectionState::Connected:
      return VELTRIX_TRAY_ICON_GREEN;
    case ConnectionState::Error:
      return VELTRIX_TRAY_ICON_RED;
  }
  return VELTRIX_APP_ICON;
}

bool AnnouncesConnectionLost(ConnectionState from, ConnectionState to, bool windowInView) {
  return !windowInView && from == ConnectionState::Connected &&
         (to == ConnectionState::Reconnecting || to == ConnectionState::Error);
}

}  // namespace veltrix
