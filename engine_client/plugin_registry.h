#ifndef ENGINE_CLIENT_PLUGIN_REGISTRY_H_
#define ENGINE_CLIENT_PLUGIN_REGISTRY_H_

#include <string>

#include "engine_client/engine_api.h"

namespace flutter {

// Gives plug-ins the engine's registrar to register with.
class PluginRegistry {
 public:
  PluginRegistry() = default;
  virtual ~PluginRegistry() = default;

  PluginRegistry(const PluginRegistry&) = delete;
  PluginRegistry& operator=(const PluginRegistry&) = delete;

  // The registrar for the named plug-in, or null.
  virtual FlutterDesktopPluginRegistrarRef RegistrarForPlugin(const std::string& name) = 0;
};

}  // namespace flutter

#endif  // ENGINE_CLIENT_PLUGIN_REGISTRY_H_
