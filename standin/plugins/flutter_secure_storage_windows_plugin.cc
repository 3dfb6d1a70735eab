// Stand-in for the secure storage plug-in: registering is recorded, nothing
// more.
#include "engine_client/engine_api.h"
#include "standin/engine/standin_engine.h"

extern "C" __declspec(dllexport) void FlutterSecureStorageWindowsPluginRegisterWithRegistrar(
    FlutterDesktopPluginRegistrarRef registrar) {
  VeltrixStandinRecordPluginRegistration(registrar, "flutter_secure_storage_windows");
}
