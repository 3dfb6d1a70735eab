#ifndef TRAY_TRAY_MENU_H_
#define TRAY_TRAY_MENU_H_

#include <windows.h>

#include <cstdint>
#include <optional>

#include "tray/tray_menu_entries.h"

namespace veltrix {

// Shows the tray menu at `position` (screen coordinates) and waits for the
// user's choice: the chosen command id, 0 when the menu was dismissed,
// nothing when the menu could not be made.
//
// The menu runs a modal loop of its own, in which window and channel
// messages keep being dispatched: the host's state may change before it
// returns.
std::optional<uint32_t> TrackTrayMenu(HWND window, const TrayMenuEntries& entries, POINT position);

}  // namespace veltrix

#endif  // TRAY_TRAY_MENU_H_
