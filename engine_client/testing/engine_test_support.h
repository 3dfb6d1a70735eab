// Helpers for tests that run the host's engine wrappers against the
// stand-in engine and play the user interface's side through its services.
#ifndef ENGINE_CLIENT_TESTING_ENGINE_TEST_SUPPORT_H_
#define ENGINE_CLIENT_TESTING_ENGINE_TEST_SUPPORT_H_

#include <cstdint>
#include <cstdlib>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "engine_client/engine_api.h"
#include "standin/engine/standin_engine.h"

namespace flutter::testing {

// Runs what the engine has queued for the platform thread: on Windows by
// pumping this thread's window messages, as the host's loop would.
inline void PumpEngine() {
#if defined(_WIN32)
  MSG message;
  while (::PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
    ::TranslateMessage(&message);
    ::DispatchMessageW(&message);
  }
#else
  VeltrixStandinRunPendingWork();
#endif
}

// Sets an environment variable that the engine reads, for one scope.
struct ScopedEnvironment {
  ScopedEnvironment(const char* name, const char* value) : name(name) { Set(value); }
  ~ScopedEnvironment() { Set(nullptr); }
  void Set(const char* value) const {
#if defined(_WIN32)
    ::SetEnvironmentVariableA(name, value);
#else
    value != nullptr ? ::setenv(name, value, 1) : ::unsetenv(name);
#endif
  }
  const char* name;
};

// An engine made through the C interface, destroyed at the end unless the
// test destroyed it already.
class RawEngine {
 public:
  RawEngine() {
    FlutterDesktopEngineProperties properties{};
    engine_ = FlutterDesktopEngineCreate(&properties);
  }
  ~RawEngine() { Destroy(); }

  FlutterDesktopEngineRef get() const { return engine_; }
  FlutterDesktopMessengerRef messenger() const { return FlutterDesktopEngineGetMessenger(engine_); }
  const VeltrixEngineServices& services() const { return *VeltrixStandinEngineServices(engine_); }
  void Destroy() { FlutterDesktopEngineDestroy(std::exchange(engine_, nullptr)); }

 private:
  FlutterDesktopEngineRef engine_ = nullptr;
};

// The user interface's end of the channels, through the engine's services.
struct UiSide {
  explicit UiSide(const VeltrixEngineServices& services) : services(services) {}
  // Sends with a reply; the replies land in `replies` in arrival order.
  bool Send(const std::string& channel, const std::vector<uint8_t>& bytes) {
    return services.send(services.engine, channel.c_str(), bytes.data(), bytes.size(),
                         &UiSide::OnReply, this);
  }
  // Handles `channel`, answering with `answer` when one is set.
  void Listen(const std::string& channel) {
    services.setMessageHandler(services.engine, channel.c_str(), &UiSide::OnMessage, this);
  }
  static void OnReply(const uint8_t* data, size_t size, void* user) {
    static_cast<UiSide*>(user)->replies.emplace_back(data, data + size);
  }
  static void OnMessage(const char*, const uint8_t*, size_t, const VeltrixUiResponse* response,
                        void* user) {
    auto* self = static_cast<UiSide*>(user);
    if (!self->answer) return;
    self->services.respond(self->services.engine, response, self->answer->data(),
                           self->answer->size());
  }

  const VeltrixEngineServices& services;
  std::vector<std::vector<uint8_t>> replies;
  std::optional<std::vector<uint8_t>> answer;
};

}  // namespace flutter::testing

#endif  // ENGINE_CLIENT_TESTING_ENGINE_TEST_SUPPORT_H_
