#ifndef WINDOW_ENGINE_PLUGINS_H_
#define WINDOW_ENGINE_PLUGINS_H_

#include "base/expected.h"
#include "engine_client/engine_library.h"
#include "engine_client/plugin_registry.h"

namespace veltrix {

// The two engine plug-ins, each in a library of its own in the program's
// folder, bound at run time like the engine. Once per process; later calls
// answer the first result.
Expected<Done, BrokenLibrary> LoadEnginePlugins();

// Secure storage first, then the URL launcher. Plug-ins that could not be
// loaded are left out.
void RegisterEnginePlugins(flutter::PluginRegistry* registry);

}  // namespace veltrix

#endif  // WINDOW_ENGINE_PLUGINS_H_
