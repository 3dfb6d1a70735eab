#ifndef TRAY_TRAY_MENU_H_
#define TRAY_TRAY_MENU_H_

#include <windows.h>

#include <cstdint>
#include <optional>

#include "desktop/desktop_bridge.h"

namespace veltrix {

// Shows the tray menu at `position` (screen coordinates) and waits for the
// user's choice. Nothing is shown while a native operation is running or
// the host is quitting, or when the menu cannot be made: then no value.
// Otherwise the chosen command id, 0 when the menu was dismissed.
//
// The menu runs a modal loop of its own, in which window and channel
// messages keep being dispatched: the bridge may change before it returns.
std::optional<uint32_t> TrackTrayMenu(HWND window, const DesktopBridge& bridge, POINT position);

}  // namespace veltrix

#endif  // TRAY_TRAY_MENU_H_
