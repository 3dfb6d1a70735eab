// Spanish.
#include "base/product.h"
#include "locale/translations.h"

namespace veltrix {

const HostTexts kSpanishTexts{
    .trayOpen = L"Abrir " VELTRIX_PRODUCT_NAME_W,
    .trayConnect = L"Conectar",
    .trayDisconnect = L"Desconectar",
    .trayQuit = L"Salir",
    .tooltip = VELTRIX_PRODUCT_NAME_W L" - %1",
    .disconnected = L"Desconectado",
    .connecting = L"Conectando",
    .connected = L"Conectado",
    .reconnecting = L"Reconectando",
    .disconnecting = L"Desconectando",
    .connectionError = L"Error de conexión",
    .stillRunningTitle = VELTRIX_PRODUCT_NAME_W,
    .stillRunningText = VELTRIX_PRODUCT_NAME_W
    L" sigue en ejecución. Ábralo desde su icono en el área de notificación.",
    .connectionLostTitle = L"Se perdió la conexión VPN",
    .connectionLostText = VELTRIX_PRODUCT_NAME_W
    L" perdió la conexión. Es posible que su tráfico no esté protegido hasta que se vuelva a "
    L"conectar.",
    .brokenFile = VELTRIX_PRODUCT_NAME_W
    L" no se pudo iniciar porque falta el archivo \"%1\" o está dañado. Vuelva a instalar "
    VELTRIX_PRODUCT_NAME_W L".",
    .windowFailed = VELTRIX_PRODUCT_NAME_W
    L" no se pudo iniciar porque no se pudo crear su ventana. Vuelva a instalar "
    VELTRIX_PRODUCT_NAME_W L".",
    .engineFailed = VELTRIX_PRODUCT_NAME_W
    L" no se pudo iniciar porque no se pudo cargar su interfaz de usuario. Vuelva a instalar "
    VELTRIX_PRODUCT_NAME_W L".",
    .viewFailed = VELTRIX_PRODUCT_NAME_W
    L" no se pudo iniciar porque no se pudo mostrar su interfaz de usuario. Vuelva a instalar "
    VELTRIX_PRODUCT_NAME_W L".",
    .notResponding = VELTRIX_PRODUCT_NAME_W
    L" se está ejecutando, pero no responde. Espere un momento y vuelva a intentarlo, o "
    L"finalícelo en el Administrador de tareas.",
    .saveDialogTitle = L"Guardar diagnóstico de VELTRIX",
    .textFiles = L"Archivos de texto (*.txt)",
};

}  // namespace veltrix
