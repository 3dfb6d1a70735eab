// French. Guillemets and the colon-like marks take a no-break space.
#include "base/product.h"
#include "locale/translations.h"

namespace veltrix {

const HostTexts kFrenchTexts{
    .trayOpen = L"Ouvrir " VELTRIX_PRODUCT_NAME_W,
    .trayConnect = L"Se connecter",
    .trayDisconnect = L"Se déconnecter",
    .trayQuit = L"Quitter",
    .tooltip = VELTRIX_PRODUCT_NAME_W L" - %1",
    .disconnected = L"Déconnecté",
    .connecting = L"Connexion en cours",
    .connected = L"Connecté",
    .reconnecting = L"Reconnexion en cours",
    .disconnecting = L"Déconnexion en cours",
    .connectionError = L"Erreur de connexion",
    .stillRunningTitle = VELTRIX_PRODUCT_NAME_W,
    .stillRunningText = VELTRIX_PRODUCT_NAME_W
    L" est toujours en cours d’exécution. Ouvrez-le à partir de son icône dans la zone de "
    L"notification.",
    .connectionLostTitle = L"Connexion VPN perdue",
    .connectionLostText = VELTRIX_PRODUCT_NAME_W
    L" a perdu la connexion. Votre trafic risque de ne pas être protégé tant que la connexion "
    L"n’est pas rétablie.",
    .brokenFile = VELTRIX_PRODUCT_NAME_W
    L" n’a pas pu démarrer, car le fichier «\u00A0%1\u00A0» est manquant ou endommagé. "
    L"Réinstallez " VELTRIX_PRODUCT_NAME_W L".",
    .windowFailed = VELTRIX_PRODUCT_NAME_W
    L" n’a pas pu démarrer, car sa fenêtre n’a pas pu être créée. Réinstallez "
    VELTRIX_PRODUCT_NAME_W L".",
    .engineFailed = VELTRIX_PRODUCT_NAME_W
    L" n’a pas pu démarrer, car son interface utilisateur n’a pas pu être chargée. Réinstallez "
    VELTRIX_PRODUCT_NAME_W L".",
    .viewFailed = VELTRIX_PRODUCT_NAME_W
    L" n’a pas pu démarrer, car son interface utilisateur n’a pas pu être affichée. "
    L"Réinstallez " VELTRIX_PRODUCT_NAME_W L".",
    .notResponding = VELTRIX_PRODUCT_NAME_W
    L" est en cours d’exécution, mais ne répond pas. Patientez quelques instants et "
    L"réessayez, ou arrêtez-le dans le Gestionnaire des tâches.",
    .saveDialogTitle = L"Enregistrer les diagnostics VELTRIX",
    .textFiles = L"Fichiers texte (*.txt)",
};

}  // namespace veltrix
