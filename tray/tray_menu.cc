#include "tray/tray_menu.h"

#include "win32/unique_handle.h"

namespace veltrix {
namespace {

static_assert(kMenuFlagString == MF_STRING && kMenuFlagGrayed == MF_GRAYED &&
              kMenuFlagSeparator == MF_SEPARATOR);

void DestroyMenuHandle(HMENU menu) { ::DestroyMenu(menu); }
using UniqueMenu = UniqueHandle<HMENU, DestroyMenuHandle>;

}  // namespace

std::optional<uint32_t> TrackTrayMenu(HWND window, const TrayMenuEntries& entries, POINT position) {
  UniqueMenu menu(::CreatePopupMenu());
  if (!menu) return std::nullopt;
  for (const TrayMenuEntry& entry : entries) {
    ::AppendMenuW(menu.Get(), entry.flags, entry.id, entry.text);
  }
  ::SetMenuDefaultItem(menu.Get(), kTrayCommandOpen, FALSE);

  // Without the foreground the menu would not close when the user clicks
  // elsewhere.
  ::SetForegroundWindow(window);
  const BOOL command =
      ::TrackPopupMenuEx(menu.Get(), TPM_RETURNCMD | TPM_NONOTIFY | TPM_RIGHTBUTTON, position.x,
                         position.y, window, nullptr);
  menu.Reset();
  // Lets the foreground switch settle so a second open works at once.
  ::PostMessageW(window, WM_NULL, 0, 0);
  return static_cast<uint32_t>(command);
}

}  // namespace veltrix
