// Stand-in for the URL launcher plug-in: registering is recorded, nothing
// more.
#include "engine_client/engine_api.h"
#include "standin/engine/standin_engine.h"

extern "C" __declspec(dllexport) void UrlLauncherWindowsRegisterWithRegistrar(
    FlutterDesktopPluginRegistrarRef registrar) {
  VeltrixStandinRecordPluginRegistration(registrar, "url_launcher_windows");
}
