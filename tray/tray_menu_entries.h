#ifndef TRAY_TRAY_MENU_ENTRIES_H_
#define TRAY_TRAY_MENU_ENTRIES_H_

#include <array>
#include <cstdint>

#include "base/connection_state.h"
#include "locale/host_texts.h"

namespace veltrix {

// Command ids of the tray menu; 0 means the menu was dismissed.
inline constexpr uint32_t kTrayCommandOpen = 1;
inline constexpr uint32_t kTrayCommandToggle = 2;
inline constexpr uint32_t kTrayCommandQuit = 3;

// The menu flags used here (MF_STRING, MF_GRAYED, MF_SEPARATOR).
inline constexpr uint32_t kMenuFlagString = 0x0;
inline constexpr uint32_t kMenuFlagGrayed = 0x1;
inline constexpr uint32_t kMenuFlagSeparator = 0x800;

struct TrayMenuEntry {
  uint32_t id;
  const wchar_t* text;  // null for the separator
  uint32_t flags;
};

using TrayMenuEntries = std::array<TrayMenuEntry, 4>;

// Open, Connect/Disconnect, separator, Quit, in the words of `texts`,
// worded and greyed from the connection state. The toggle stays greyed until
// the user interface has initialised, since nothing could receive it before
// then. The entries point into `texts`.
TrayMenuEntries BuildTrayMenuEntries(const HostTexts& texts, bool initialized,
                                     ConnectionState connection);

}  // namespace veltrix

#endif  // TRAY_TRAY_MENU_ENTRIES_H_
