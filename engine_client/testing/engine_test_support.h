// Helpers for tests that run the host's engine wrappers against the
// stand-in engine and play the user interface's side through its services.
#ifndef ENGINE_CLIENT_TESTING_ENGINE_TEST_SUPPORT_H_
#define ENGINE_CLIENT_TESTING_ENGINE_TEST_SUPPORT_H_

#include <cstdint>
#include <cstdlib>
#include <memory>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "engine_client/encodable_value.h"
#include "engine_client/engine_api.h"
#include "engine_client/method_result.h"
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

// Sets an environment variable for one scope; the engine reads it.
class ScopedEnvironment {
 public:
  ScopedEnvironment(const char* name, const std::string& value) : name_(name) {
    Set(value.c_str());
  }
  ~ScopedEnvironment() { Set(nullptr); }
  ScopedEnvironment(const ScopedEnvironment&) = delete;
  ScopedEnvironment& operator=(const ScopedEnvironment&) = delete;

 private:
  void Set(const char* value) {
#if defined(_WIN32)
    std::wstring name(name_.begin(), name_.end());
    if (value == nullptr) {
      ::SetEnvironmentVariableW(name.c_str(), nullptr);
      return;
    }
    int length = ::MultiByteToWideChar(CP_UTF8, 0, value, -1, nullptr, 0);
    std::wstring wide(static_cast<size_t>(length), L'\0');
    ::MultiByteToWideChar(CP_UTF8, 0, value, -1, wide.data(), length);
    ::SetEnvironmentVariableW(name.c_str(), wide.c_str());
#else
    if (value == nullptr) {
      ::unsetenv(name_.c_str());
    } else {
      ::setenv(name_.c_str(), value, 1);
    }
#endif
  }

  std::string name_;
};

// A raw engine made through the C interface, destroyed at the end unless
// the test destroyed it already.
class RawEngine {
 public:
  explicit RawEngine(std::vector<std::string> arguments = {}) : arguments_(std::move(arguments)) {
    for (const std::string& argument : arguments_) pointers_.push_back(argument.c_str());
    FlutterDesktopEngineProperties properties{};
    properties.assetsPath = L"data\\flutter_assets";
    properties.icuDataPath = L"data\\icudtl.dat";
    properties.aotLibraryPath = L"data\\app.so";
    properties.entryPoint = "";
    properties.entryPointArgumentCount = static_cast<int>(pointers_.size());
    properties.entryPointArguments = pointers_.empty() ? nullptr : pointers_.data();
    engine_ = FlutterDesktopEngineCreate(&properties);
  }
  ~RawEngine() { Destroy(); }
  RawEngine(const RawEngine&) = delete;
  RawEngine& operator=(const RawEngine&) = delete;

  FlutterDesktopEngineRef get() const { return engine_; }
  FlutterDesktopMessengerRef messenger() const { return FlutterDesktopEngineGetMessenger(engine_); }
  const VeltrixEngineServices& services() const { return *VeltrixStandinEngineServices(engine_); }
  // For a view controller, which ends the engine itself.
  FlutterDesktopEngineRef Release() { return std::exchange(engine_, nullptr); }
  void Destroy() {
    if (engine_ != nullptr) FlutterDesktopEngineDestroy(engine_);
    engine_ = nullptr;
  }

 private:
  std::vector<std::string> arguments_;
  std::vector<const char*> pointers_;
  FlutterDesktopEngineRef engine_ = nullptr;
};

// The user interface's end of the channels, through the engine's services.
class UiSide {
 public:
  explicit UiSide(const VeltrixEngineServices& services) : services_(services) {}

  // Sends with a reply; the replies land in `replies` in arrival order.
  bool Send(const std::string& channel, const std::vector<uint8_t>& bytes) {
    return services_.send(services_.engine, channel.c_str(), bytes.data(), bytes.size(),
                          &UiSide::OnReply, this);
  }
  // Records every message on `channel` in `messages`; answers it with
  // `answer` when one is set.
  void Listen(const std::string& channel) {
    services_.setMessageHandler(services_.engine, channel.c_str(), &UiSide::OnMessage, this);
  }

  std::vector<std::vector<uint8_t>> replies;
  std::vector<std::vector<uint8_t>> messages;
  std::optional<std::vector<uint8_t>> answer;

 private:
  static void OnReply(const uint8_t* data, size_t size, void* user) {
    auto* self = static_cast<UiSide*>(user);
    self->replies.emplace_back(data, data + size);
  }
  static void OnMessage(const char*, const uint8_t* data, size_t size,
                        const VeltrixUiResponse* response, void* user) {
    auto* self = static_cast<UiSide*>(user);
    self->messages.emplace_back(data, data + size);
    if (self->answer) {
      self->services_.respond(self->services_.engine, response, self->answer->data(),
                              self->answer->size());
    }
  }

  const VeltrixEngineServices& services_;
};

// A method result that remembers how it was answered.
class RecordingResult : public MethodResult {
 public:
  struct Record {
    std::string kind;  // "success", "error", "not-implemented"
    std::optional<EncodableValue> value;
    std::string code;
    std::string message;
  };

  explicit RecordingResult(std::vector<Record>* records) : records_(records) {}

 protected:
  void OnSuccess(const EncodableValue* result) override {
    records_->push_back({"success", result ? std::optional(*result) : std::nullopt, "", ""});
  }
  void OnError(const std::string& code, const std::string& message,
               const EncodableValue* details) override {
    records_->push_back({"error", details ? std::optional(*details) : std::nullopt, code, message});
  }
  void OnNotImplemented() override { records_->push_back({"not-implemented", {}, "", ""}); }

 private:
  std::vector<Record>* records_;
};

}  // namespace flutter::testing

#endif  // ENGINE_CLIENT_TESTING_ENGINE_TEST_SUPPORT_H_
