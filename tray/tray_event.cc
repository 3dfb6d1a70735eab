#include "tray/tray_event.h"

namespace veltrix {

TrayEvent DecodeTrayEvent(bool version4, uintptr_t wParam, intptr_t lParam) {
  const uint32_t code = version4 ? static_cast<uint32_t>(lParam & 0xFFFF)
                                 : static_cast<uint32_t>(static_cast<uintptr_t>(lParam));
  TrayEvent event;
  if (code == kTrayEventSelect || code == kTrayEventKeySelect ||
      (!version4 && code == kTrayEventLeftButtonUp)) {
    event.kind = TrayEventKind::kSelect;
  } else if (code == kTrayEventContextMenu || (!version4 && code == kTrayEventRightButtonUp)) {
    event.kind = TrayEventKind::kContextMenu;
    if (version4) {
      event.hasAnchor = true;
      event.x = static_cast<int16_t>(static_cast<uint16_t>(wParam & 0xFFFF));
      event.y = static_cast<int16_t>(static_cast<uint16_t>((wParam >> 16) & 0xFFFF));
    }
  }
  return event;
}

}  // namespace veltrix
