#include "tray/tray_menu_entries.h"

#include "desktop/connection_state.h"

namespace veltrix {

TrayMenuEntries BuildTrayMenuEntries(const DesktopBridge& bridge) {
  const bool toggleEnabled =
      bridge.initialized && !IsConnectionInTransition(bridge.connectionState);
  return {{
      {kTrayCommandOpen, L"Open VELTRIX VPN", kMenuFlagString},
      {kTrayCommandToggle, IsConnectionActive(bridge.connectionState) ? L"Disconnect" : L"Connect",
       toggleEnabled ? kMenuFlagString : kMenuFlagGrayed},
      {0, nullptr, kMenuFlagSeparator},
      {kTrayCommandQuit, L"Quit", kMenuFlagString},
  }};
}

}  // namespace veltrix
