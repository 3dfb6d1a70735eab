// Japanese.
#include "base/product.h"
#include "locale/translations.h"

namespace veltrix {

const HostTexts kJapaneseTexts{
    .trayOpen = VELTRIX_PRODUCT_NAME_W L" を開く",
    .trayConnect = L"接続",
    .trayDisconnect = L"切断",
    .trayQuit = L"終了",
    .tooltip = VELTRIX_PRODUCT_NAME_W L" - %1",
    .disconnected = L"切断済み",
    .connecting = L"接続中",
    .connected = L"接続済み",
    .reconnecting = L"再接続中",
    .disconnecting = L"切断中",
    .connectionError = L"接続エラー",
    .stillRunningTitle = VELTRIX_PRODUCT_NAME_W,
    .stillRunningText =
        VELTRIX_PRODUCT_NAME_W L" は引き続き実行中です。通知領域のアイコンから開くことができます。",
    .connectionLostTitle = L"VPN 接続が失われました",
    .connectionLostText = VELTRIX_PRODUCT_NAME_W
    L" の接続が失われました。再接続されるまで、通信が保護されない可能性があります。",
    .brokenFile = L"ファイル「%1」が見つからないか破損しているため、" VELTRIX_PRODUCT_NAME_W
    L" を起動できませんでした。" VELTRIX_PRODUCT_NAME_W L" を再インストールしてください。",
    .windowFailed = L"ウィンドウを作成できなかったため、" VELTRIX_PRODUCT_NAME_W
    L" を起動できませんでした。" VELTRIX_PRODUCT_NAME_W L" を再インストールしてください。",
    .engineFailed = L"ユーザー インターフェイスを読み込めなかったため、" VELTRIX_PRODUCT_NAME_W
    L" を起動できませんでした。" VELTRIX_PRODUCT_NAME_W L" を再インストールしてください。",
    .viewFailed = L"ユーザー インターフェイスを表示できなかったため、" VELTRIX_PRODUCT_NAME_W
    L" を起動できませんでした。" VELTRIX_PRODUCT_NAME_W L" を再インストールしてください。",
    .notResponding = VELTRIX_PRODUCT_NAME_W
    L" は実行中ですが、応答していません。しばらく待ってからもう一度お試しいただくか、"
    L"タスク マネージャーで終了してください。",
    .saveDialogTitle = L"VELTRIX の診断情報の保存",
    .textFiles = L"テキスト ファイル (*.txt)",
};

}  // namespace veltrix
