#include "window/engine_plugins.h"

#include <iterator>

namespace veltrix {
namespace {

using RegisterFunction = void (*)(FlutterDesktopPluginRegistrarRef registrar);

struct EnginePlugin {
  const wchar_t* file;
  const char* registerFunction;
  const char* name;
  RegisterFunction bound = nullptr;
};

EnginePlugin plugins[] = {
    {L"flutter_secure_storage_windows_plugin.dll",
     "FlutterSecureStorageWindowsPluginRegisterWithRegistrar", "FlutterSecureStorageWindowsPlugin"},
    {L"url_launcher_windows_plugin.dll", "UrlLauncherWindowsRegisterWithRegistrar",
     "UrlLauncherWindows"},
};

Expected<Done, BrokenLibrary> BindPlugins() {
  for (EnginePlugin& plugin : plugins) {
    Expected<void*, BrokenLibrary> found =
        FindBundledFunction(plugin.file, plugin.registerFunction);
    if (!found) return found.error();
    plugin.bound = reinterpret_cast<RegisterFunction>(*found);
  }
  return Done{};
}

}  // namespace

Expected<Done, BrokenLibrary> LoadEnginePlugins() {
  static const Expected<Done, BrokenLibrary> loaded = BindPlugins();
  return loaded;
}

void RegisterEnginePlugins(flutter::PluginRegistry* registry) {
  static_cast<void>(LoadEnginePlugins());
  for (const EnginePlugin& plugin : plugins) {
    if (plugin.bound != nullptr) plugin.bound(registry->RegistrarForPlugin(plugin.name));
  }
}

}  // namespace veltrix
