// German.
#include "base/product.h"
#include "locale/translations.h"

namespace veltrix {

const HostTexts kGermanTexts{
    .trayOpen = VELTRIX_PRODUCT_NAME_W L" öffnen",
    .trayConnect = L"Verbinden",
    .trayDisconnect = L"Trennen",
    .trayQuit = L"Beenden",
    .tooltip = VELTRIX_PRODUCT_NAME_W L" - %1",
    .disconnected = L"Getrennt",
    .connecting = L"Verbindung wird hergestellt",
    .connected = L"Verbunden",
    .reconnecting = L"Verbindung wird wiederhergestellt",
    .disconnecting = L"Verbindung wird getrennt",
    .connectionError = L"Verbindungsfehler",
    .stillRunningTitle = VELTRIX_PRODUCT_NAME_W,
    .stillRunningText = VELTRIX_PRODUCT_NAME_W
    L" wird weiterhin ausgeführt. Sie öffnen es über sein Symbol im Infobereich.",
    .connectionLostTitle = L"VPN-Verbindung unterbrochen",
    .connectionLostText = VELTRIX_PRODUCT_NAME_W
    L" hat die Verbindung verloren. Ihr Datenverkehr ist möglicherweise nicht geschützt, bis "
    L"die Verbindung wiederhergestellt ist.",
    .brokenFile = VELTRIX_PRODUCT_NAME_W
    L" konnte nicht gestartet werden, weil die Datei „%1“ fehlt oder beschädigt ist. "
    L"Installieren Sie " VELTRIX_PRODUCT_NAME_W L" neu.",
    .windowFailed = VELTRIX_PRODUCT_NAME_W
    L" konnte nicht gestartet werden, weil sein Fenster nicht erstellt werden konnte. "
    L"Installieren Sie " VELTRIX_PRODUCT_NAME_W L" neu.",
    .engineFailed = VELTRIX_PRODUCT_NAME_W
    L" konnte nicht gestartet werden, weil seine Benutzeroberfläche nicht geladen werden "
    L"konnte. Installieren Sie " VELTRIX_PRODUCT_NAME_W L" neu.",
    .viewFailed = VELTRIX_PRODUCT_NAME_W
    L" konnte nicht gestartet werden, weil seine Benutzeroberfläche nicht angezeigt werden "
    L"konnte. Installieren Sie " VELTRIX_PRODUCT_NAME_W L" neu.",
    .notResponding = VELTRIX_PRODUCT_NAME_W
    L" wird ausgeführt, reagiert aber nicht. Warten Sie einen Moment, und versuchen Sie es "
    L"erneut, oder beenden Sie es im Task-Manager.",
    .saveDialogTitle = L"VELTRIX-Diagnose speichern",
    .textFiles = L"Textdateien (*.txt)",
};

}  // namespace veltrix
