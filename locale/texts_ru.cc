// Russian.
#include "base/product.h"
#include "locale/translations.h"

namespace veltrix {

const HostTexts kRussianTexts{
    .trayOpen = L"Открыть " VELTRIX_PRODUCT_NAME_W,
    .trayConnect = L"Подключиться",
    .trayDisconnect = L"Отключиться",
    .trayQuit = L"Выход",
    .tooltip = VELTRIX_PRODUCT_NAME_W L" - %1",
    .disconnected = L"Отключено",
    .connecting = L"Подключение",
    .connected = L"Подключено",
    .reconnecting = L"Повторное подключение",
    .disconnecting = L"Отключение",
    .connectionError = L"Ошибка подключения",
    .stillRunningTitle = VELTRIX_PRODUCT_NAME_W,
    .stillRunningText = VELTRIX_PRODUCT_NAME_W
    L" продолжает работать. Открыть его можно с помощью значка в области уведомлений.",
    .connectionLostTitle = L"VPN-подключение потеряно",
    .connectionLostText = VELTRIX_PRODUCT_NAME_W
    L" потерял подключение. Ваш трафик может быть не защищен, пока подключение не будет "
    L"восстановлено.",
    .brokenFile = L"Не удалось запустить " VELTRIX_PRODUCT_NAME_W
    L", так как файл «%1» отсутствует или поврежден. Переустановите " VELTRIX_PRODUCT_NAME_W
    L".",
    .windowFailed = L"Не удалось запустить " VELTRIX_PRODUCT_NAME_W
    L", так как не удалось создать его окно. Переустановите " VELTRIX_PRODUCT_NAME_W L".",
    .engineFailed = L"Не удалось запустить " VELTRIX_PRODUCT_NAME_W
    L", так как не удалось загрузить его пользовательский интерфейс. Переустановите "
    VELTRIX_PRODUCT_NAME_W L".",
    .viewFailed = L"Не удалось запустить " VELTRIX_PRODUCT_NAME_W
    L", так как не удалось отобразить его пользовательский интерфейс. Переустановите "
    VELTRIX_PRODUCT_NAME_W L".",
    .notResponding = VELTRIX_PRODUCT_NAME_W
    L" запущен, но не отвечает. Подождите немного и повторите попытку или завершите его в "
    L"диспетчере задач.",
    .saveDialogTitle = L"Сохранение диагностики VELTRIX",
    .textFiles = L"Текстовые файлы (*.txt)",
};

}  // namespace veltrix
