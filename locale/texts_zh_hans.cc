// Simplified Chinese.
#include "base/product.h"
#include "locale/translations.h"

namespace veltrix {

const HostTexts kSimplifiedChineseTexts{
    .trayOpen = L"打开 " VELTRIX_PRODUCT_NAME_W,
    .trayConnect = L"连接",
    .trayDisconnect = L"断开连接",
    .trayQuit = L"退出",
    .tooltip = VELTRIX_PRODUCT_NAME_W L" - %1",
    .disconnected = L"已断开连接",
    .connecting = L"正在连接",
    .connected = L"已连接",
    .reconnecting = L"正在重新连接",
    .disconnecting = L"正在断开连接",
    .connectionError = L"连接错误",
    .stillRunningTitle = VELTRIX_PRODUCT_NAME_W,
    .stillRunningText = VELTRIX_PRODUCT_NAME_W L" 仍在运行。可以通过通知区域中的图标打开它。",
    .connectionLostTitle = L"VPN 连接已断开",
    .connectionLostText =
        VELTRIX_PRODUCT_NAME_W L" 已断开连接。在重新连接之前，你的流量可能不受保护。",
    .brokenFile = VELTRIX_PRODUCT_NAME_W L" 无法启动，因为文件“%1”丢失或已损坏。请重新安装 "
    VELTRIX_PRODUCT_NAME_W L"。",
    .windowFailed = VELTRIX_PRODUCT_NAME_W L" 无法启动，因为无法创建其窗口。请重新安装 "
    VELTRIX_PRODUCT_NAME_W L"。",
    .engineFailed = VELTRIX_PRODUCT_NAME_W L" 无法启动，因为无法加载其用户界面。请重新安装 "
    VELTRIX_PRODUCT_NAME_W L"。",
    .viewFailed = VELTRIX_PRODUCT_NAME_W L" 无法启动，因为无法显示其用户界面。请重新安装 "
    VELTRIX_PRODUCT_NAME_W L"。",
    .notResponding = VELTRIX_PRODUCT_NAME_W
    L" 正在运行，但没有响应。请稍候再试，或在任务管理器中结束它。",
    .saveDialogTitle = L"保存 VELTRIX 诊断信息",
    .textFiles = L"文本文件 (*.txt)",
};

}  // namespace veltrix
