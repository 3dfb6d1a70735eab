#include "tray/tray_menu_entries.h"
#include "base/product.h"

namespace veltrix {

TrayMenuEntries BuildTrayMenuEntries(bool initialized, ConnectionState connection) {
  const bool toggleEnabled = initialized && !IsConnectionInTransition(connection);
  return {{
      {kTrayCommandOpen, L"Open " VELTRIX_PRODUCT_NAME_W, kMenuFlagString},
      {kTrayCommandToggle, IsConnectionActive(connection) ? L"Disconnect" : L"Connect",
       toggleEnabled ? kMenuFlagString : kMenuFlagGrayed},
      {0, nullptr, kMenuFlagSeparator},
      {kTrayCommandQuit, L"Quit", kMenuFlagString},
  }};
}

}  // namespace veltrix
