// The UI module's hold on the engine's services: sending with reply
// callbacks that may capture, the transcript, and knowing when the engine
// has let go of the module.
#ifndef STANDIN_UI_ENGINE_LINK_H_
#define STANDIN_UI_ENGINE_LINK_H_

#include <windows.h>

#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "desktop/desktop_dispatcher.h"
#include "standin/ui_module_api.h"

namespace veltrix {

// The module's own instance, for its window classes.
HINSTANCE ModuleInstance();

using ReplyHandler = std::function<void(const uint8_t* reply, size_t size)>;
using HostMessageHandler =
    std::function<void(const uint8_t* message, size_t size, const VeltrixUiResponse* response)>;

class EngineLink {
 public:
  explicit EngineLink(const VeltrixEngineServices* services) : services_(services) {}

  EngineLink(const EngineLink&) = delete;
  EngineLink& operator=(const EngineLink&) = delete;

  // After the engine's stop call the services are gone: nothing is sent,
  // transcript lines are appended to the file directly.
  void Detach();
  bool attached() const { return services_ != nullptr; }
  const VeltrixEngineServices* services() const { return services_; }

  // False when it could not be sent; `reply` is then never called.
  bool Send(const char* channel, const std::vector<uint8_t>& message, ReplyHandler reply);
  void SetHandler(const char* channel, HostMessageHandler handler);
  void Respond(const VeltrixUiResponse* response, const std::vector<uint8_t>& reply);
  void RequestFrame();
  // The host's top-level window messages as it offers them to the engine.
  void SetTopLevelWindowHook(VeltrixUiWindowHook hook, void* user);
  void Record(const std::string& line);

 private:
  const VeltrixEngineServices* services_;
  HostMessageHandler handler_;
};

}  // namespace veltrix

#endif  // STANDIN_UI_ENGINE_LINK_H_
