#ifndef TRAY_TRAY_EVENT_H_
#define TRAY_TRAY_EVENT_H_

#include <cstdint>

namespace veltrix {

// Notification codes of the tray callback message.
inline constexpr uint32_t kTrayEventContextMenu = 0x007B;      // WM_CONTEXTMENU
inline constexpr uint32_t kTrayEventLeftButtonUp = 0x0202;     // WM_LBUTTONUP
inline constexpr uint32_t kTrayEventLeftDoubleClick = 0x0203;  // WM_LBUTTONDBLCLK
inline constexpr uint32_t kTrayEventRightButtonUp = 0x0205;    // WM_RBUTTONUP
inline constexpr uint32_t kTrayEventSelect = 0x0400;           // NIN_SELECT
inline constexpr uint32_t kTrayEventKeySelect = 0x0401;        // NIN_KEYSELECT

enum class TrayEventKind {
  kIgnored,
  // Click or keyboard selection: bring the window up and send "open".
  kSelect,
  // Show the tray menu.
  kContextMenu,
};

struct TrayEvent {
  TrayEventKind kind = TrayEventKind::kIgnored;
  // Version 4 carries the menu anchor in wParam; the older form does not,
  // and the caller then uses the cursor position.
  bool hasAnchor = false;
  int32_t x = 0;
  int32_t y = 0;
};

// Reads the tray callback's (wParam, lParam). With version 4 the event is
// the low word of lParam and the anchor is in wParam as two signed 16-bit
// screen coordinates (negative on monitors left of or above the primary);
// in the older form the event is the low 32 bits of lParam and only the
// button-up messages stand for a click or a context menu.
TrayEvent DecodeTrayEvent(bool version4, uintptr_t wParam, intptr_t lParam);

}  // namespace veltrix

#endif  // TRAY_TRAY_EVENT_H_
