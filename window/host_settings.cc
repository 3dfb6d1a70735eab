#include "window/host_settings.h"

#include <windows.h>

namespace veltrix {
namespace {
constexpr wchar_t kPlacementValue[] = L"WindowPlacement";
constexpr wchar_t kStillRunningNoticeValue[] = L"StillRunningNoticeShown";
}  // namespace

std::optional<WindowPlacement> LoadWindowPlacement() {
  // One byte more than ours, so that a longer value is seen as such.
  uint8_t saved[kSavedPlacementSize + 1] = {};
  DWORD size = sizeof(saved);
  if (::RegGetValueW(HKEY_CURRENT_USER, kSettingsKey, kPlacementValue, RRF_RT_REG_BINARY, nullptr,
                     saved, &size) != ERROR_SUCCESS) {
    return std::nullopt;
  }
  return DecodePlacement(std::span<const uint8_t>(saved, size));
}

void SaveWindowPlacement(const WindowPlacement& placement) {
  const auto saved = EncodePlacement(placement);
  ::RegSetKeyValueW(HKEY_CURRENT_USER, kSettingsKey, kPlacementValue, REG_BINARY, saved.data(),
                    static_cast<DWORD>(saved.size()));
}

bool StillRunningNoticeShown() {
  DWORD shown = 0;
  DWORD size = sizeof(shown);
  return ::RegGetValueW(HKEY_CURRENT_USER, kSettingsKey, kStillRunningNoticeValue, RRF_RT_REG_DWORD,
                        nullptr, &shown, &size) == ERROR_SUCCESS &&
         shown != 0;
}

void RememberStillRunningNotice() {
  const DWORD shown = 1;
  ::RegSetKeyValueW(HKEY_CURRENT_USER, kSettingsKey, kStillRunningNoticeValue, REG_DWORD, &shown,
                    sizeof(shown));
}

}  // namespace veltrix
