#ifndef WINDOW_HOST_SETTINGS_H_
#define WINDOW_HOST_SETTINGS_H_

#include <optional>

#include "base/product.h"
#include "window/window_placement.h"

namespace veltrix {

// The program's own settings, per user, under HKEY_CURRENT_USER.
inline constexpr wchar_t kSettingsKey[] = L"Software\\VELTRIX\\" VELTRIX_PRODUCT_NAME_W;

// The placement saved when the window last closed or went to the tray;
// nothing when none was saved or the value is not one of ours.
std::optional<WindowPlacement> LoadWindowPlacement();

// Best effort: a placement that cannot be saved only costs the next start
// its place.
void SaveWindowPlacement(const WindowPlacement& placement);

// Whether this user has been told, once, that the program goes on running
// in the notification area when its window is closed.
bool StillRunningNoticeShown();
void RememberStillRunningNotice();

}  // namespace veltrix

#endif  // WINDOW_HOST_SETTINGS_H_
