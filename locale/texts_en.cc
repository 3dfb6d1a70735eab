// English, the language the host falls back to.
#include "base/product.h"
#include "locale/translations.h"

namespace veltrix {

const HostTexts kEnglishTexts{
    .trayOpen = L"Open " VELTRIX_PRODUCT_NAME_W,
    .trayConnect = L"Connect",
    .trayDisconnect = L"Disconnect",
    .trayQuit = L"Quit",
    .tooltip = VELTRIX_PRODUCT_NAME_W L" - %1",
    .disconnected = L"Disconnected",
    .connecting = L"Connecting",
    .connected = L"Connected",
    .reconnecting = L"Reconnecting",
    .disconnecting = L"Disconnecting",
    .connectionError = L"Connection error",
    .stillRunningTitle = VELTRIX_PRODUCT_NAME_W,
    .stillRunningText = VELTRIX_PRODUCT_NAME_W
    L" is still running. Open it from its icon in the notification area.",
    .connectionLostTitle = L"VPN connection lost",
    .connectionLostText = VELTRIX_PRODUCT_NAME_W
    L" lost the connection. Your traffic may not be protected until it reconnects.",
    .brokenFile = VELTRIX_PRODUCT_NAME_W
    L" could not start because the file \"%1\" is missing or damaged. Please reinstall "
    VELTRIX_PRODUCT_NAME_W L".",
    .windowFailed = VELTRIX_PRODUCT_NAME_W
    L" could not start because its window could not be created. Please reinstall "
    VELTRIX_PRODUCT_NAME_W L".",
    .engineFailed = VELTRIX_PRODUCT_NAME_W
    L" could not start because its user interface could not be loaded. Please reinstall "
    VELTRIX_PRODUCT_NAME_W L".",
    .viewFailed = VELTRIX_PRODUCT_NAME_W
    L" could not start because its user interface could not be shown. Please reinstall "
    VELTRIX_PRODUCT_NAME_W L".",
    .notResponding = VELTRIX_PRODUCT_NAME_W
    L" is running but not responding. Wait a moment and try again, or end it in Task Manager.",
    .saveDialogTitle = L"Save VELTRIX diagnostics",
    .textFiles = L"Text files (*.txt)",
};

}  // namespace veltrix
