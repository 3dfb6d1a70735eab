#ifndef WINDOW_ENGINE_PLUGINS_H_
#define WINDOW_ENGINE_PLUGINS_H_

#include "engine_client/engine_api.h"
#include "engine_client/plugin_registry.h"

// The two engine plug-ins, each in a library of its own; the host only
// registers them.
extern "C" {
__declspec(dllimport) void FlutterSecureStorageWindowsPluginRegisterWithRegistrar(
    FlutterDesktopPluginRegistrarRef registrar);
__declspec(dllimport) void UrlLauncherWindowsRegisterWithRegistrar(
    FlutterDesktopPluginRegistrarRef registrar);
}

namespace veltrix {

// Secure storage first, then the URL launcher.
void RegisterEnginePlugins(flutter::PluginRegistry* registry);

}  // namespace veltrix

#endif  // WINDOW_ENGINE_PLUGINS_H_
