#include "tray/bring_to_front.h"

namespace veltrix {

void BringWindowToFront(HWND window, const DesktopBridge& bridge) {
  if (window == nullptr || bridge.quitting) return;
  ::ShowWindow(window, ::IsIconic(window) ? SW_RESTORE : SW_SHOW);
  ::SetForegroundWindow(window);
}

}  // namespace veltrix
