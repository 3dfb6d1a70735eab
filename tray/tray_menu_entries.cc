#include "tray/tray_menu_entries.h"

namespace veltrix {

TrayMenuEntries BuildTrayMenuEntries(const HostTexts& texts, bool initialized,
                                     ConnectionState connection) {
  const bool toggleEnabled = initialized && !IsConnectionInTransition(connection);
  const std::wstring_view toggle =
      IsConnectionActive(connection) ? texts.trayDisconnect : texts.trayConnect;
  return {{
      {kTrayCommandOpen, texts.trayOpen.data(), kMenuFlagString},
      {kTrayCommandToggle, toggle.data(), toggleEnabled ? kMenuFlagString : kMenuFlagGrayed},
      {0, nullptr, kMenuFlagSeparator},
      {kTrayCommandQuit, texts.trayQuit.data(), kMenuFlagString},
  }};
}

}  // namespace veltrix
