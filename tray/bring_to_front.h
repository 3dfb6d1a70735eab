#ifndef TRAY_BRING_TO_FRONT_H_
#define TRAY_BRING_TO_FRONT_H_

#include <windows.h>

#include "desktop/desktop_bridge.h"

namespace veltrix {

// Restores the window when minimised, shows it otherwise, and brings it to
// the foreground. Nothing once the host is quitting or without a window.
void BringWindowToFront(HWND window, const DesktopBridge& bridge);

}  // namespace veltrix

#endif  // TRAY_BRING_TO_FRONT_H_
