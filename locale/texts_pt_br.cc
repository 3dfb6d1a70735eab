// Brazilian Portuguese.
#include "base/product.h"
#include "locale/translations.h"

namespace veltrix {

const HostTexts kBrazilianPortugueseTexts{
    .trayOpen = L"Abrir " VELTRIX_PRODUCT_NAME_W,
    .trayConnect = L"Conectar",
    .trayDisconnect = L"Desconectar",
    .trayQuit = L"Sair",
    .tooltip = VELTRIX_PRODUCT_NAME_W L" - %1",
    .disconnected = L"Desconectado",
    .connecting = L"Conectando",
    .connected = L"Conectado",
    .reconnecting = L"Reconectando",
    .disconnecting = L"Desconectando",
    .connectionError = L"Erro de conexão",
    .stillRunningTitle = VELTRIX_PRODUCT_NAME_W,
    .stillRunningText = L"O " VELTRIX_PRODUCT_NAME_W
    L" ainda está em execução. Abra-o pelo ícone dele na área de notificação.",
    .connectionLostTitle = L"Conexão VPN perdida",
    .connectionLostText = L"O " VELTRIX_PRODUCT_NAME_W
    L" perdeu a conexão. Seu tráfego pode não estar protegido até que ele se reconecte.",
    .brokenFile = L"Não foi possível iniciar o " VELTRIX_PRODUCT_NAME_W
    L" porque o arquivo \"%1\" está ausente ou danificado. Reinstale o " VELTRIX_PRODUCT_NAME_W
    L".",
    .windowFailed = L"Não foi possível iniciar o " VELTRIX_PRODUCT_NAME_W
    L" porque a janela dele não pôde ser criada. Reinstale o " VELTRIX_PRODUCT_NAME_W L".",
    .engineFailed = L"Não foi possível iniciar o " VELTRIX_PRODUCT_NAME_W
    L" porque a interface do usuário não pôde ser carregada. Reinstale o "
    VELTRIX_PRODUCT_NAME_W L".",
    .viewFailed = L"Não foi possível iniciar o " VELTRIX_PRODUCT_NAME_W
    L" porque a interface do usuário não pôde ser exibida. Reinstale o " VELTRIX_PRODUCT_NAME_W
    L".",
    .notResponding = L"O " VELTRIX_PRODUCT_NAME_W
    L" está em execução, mas não está respondendo. Aguarde um momento e tente novamente ou "
    L"encerre-o no Gerenciador de Tarefas.",
    .saveDialogTitle = L"Salvar diagnóstico do VELTRIX",
    .textFiles = L"Arquivos de texto (*.txt)",
};

}  // namespace veltrix
