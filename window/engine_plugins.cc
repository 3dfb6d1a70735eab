#include "window/engine_plugins.h"

namespace veltrix {

void RegisterEnginePlugins(flutter::PluginRegistry* registry) {
  FlutterSecureStorageWindowsPluginRegisterWithRegistrar(
      registry->RegistrarForPlugin("FlutterSecureStorageWindowsPlugin"));
  UrlLauncherWindowsRegisterWithRegistrar(registry->RegistrarForPlugin("UrlLauncherWindows"));
}

}  // namespace veltrix
