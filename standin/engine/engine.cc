#include "standin/engine/engine.h"

#include <cstdlib>
#include <mutex>
#include <set>
#include <utility>

namespace veltrix::standin {
namespace {

std::mutex liveMutex;
std::set<Engine*> liveEngines;

Engine* Of(void* engine) { return static_cast<Engine*>(engine); }

// "engine-args <count> <hex of each argument's bytes>"; an empty argument
// is written as "-" so that every argument is one visible word.
std::string ArgumentsLine(const std::vector<std::string>& arguments) {
  static constexpr char kHex[] = "0123456789abcdef";
  std::string line = "engine-args " + std::to_string(arguments.size());
  for (const std::string& argument : arguments) {
    line += ' ';
    if (argument.empty()) line += '-';
    for (unsigned char byte : argument) {
      line += kHex[byte >> 4];
      line += kHex[byte & 0xF];
    }
  }
  return line;
}

// The services the UI module calls, each with the engine as first argument.
bool ServiceSend(void* engine, const char* channel, const uint8_t* message, size_t size,
                 VeltrixUiReplyCallback reply, void* user) {
  return Of(engine)->messenger().Send(Side::kUi, channel, message, size,
                                      ReplyTarget{Side::kUi, reply, user});
}

void ServiceSetMessageHandler(void* engine, const char* channel, VeltrixUiMessageHandler handler,
                              void* user) {
  Of(engine)->messenger().SetUiHandler(channel, handler, user);
}

void ServiceRespond(void* engine, const VeltrixUiResponse* response, const uint8_t* reply,
                    size_t size) {
  Of(engine)->messenger().Respond(reinterpret_cast<uintptr_t>(response), reply, size);
}

void ServiceRequestFrame(void* engine) { Of(engine)->messenger().ScheduleFrame(); }

void ServiceRecordTranscript(void*, const char* line) {
  if (line != nullptr) AppendTranscriptLine(line);
}

}  // namespace

// The hook setters reach private state, so they are members in disguise.
struct EngineHookAccess {
  static void SetTopLevel(void* engine, VeltrixUiWindowHook hook, void* user) {
    Of(engine)->topLevelHook_ = {hook, user};
  }
  static void SetView(void* engine, VeltrixUiWindowHook hook, void* user) {
    Of(engine)->viewHook_ = {hook, user};
  }
};

Engine::Engine(const FlutterDesktopEngineProperties& properties) : messenger_(new MessengerCore()) {
  for (int i = 0; i < properties.entryPointArgumentCount; ++i) {
    const char* argument =
        properties.entryPointArguments != nullptr ? properties.entryPointArguments[i] : nullptr;
    arguments_.emplace_back(argument != nullptr ? argument : "");
  }
  for (const std::string& argument : arguments_) argumentPointers_.push_back(argument.c_str());
  if (properties.aotLibraryPath != nullptr) aotLibraryPath_ = properties.aotLibraryPath;

  services_.structSize = sizeof(services_);
  services_.engine = this;
  services_.argumentCount = static_cast<int>(argumentPointers_.size());
  services_.arguments = argumentPointers_.empty() ? nullptr : argumentPointers_.data();
  services_.send = &ServiceSend;
  services_.setMessageHandler = &ServiceSetMessageHandler;
  services_.respond = &ServiceRespond;
  services_.requestFrame = &ServiceRequestFrame;
  services_.recordTranscript = &ServiceRecordTranscript;
  services_.setTopLevelWindowHook = &EngineHookAccess::SetTopLevel;
  services_.setViewWindowHook = &EngineHookAccess::SetView;

  messenger_->SetFrameHandler([this] { ProduceFrame(); });
  platform_ = Platform::Create(this, messenger_);
  {
    std::lock_guard<std::mutex> lock(liveMutex);
    liveEngines.insert(this);
  }
  AppendTranscriptLine(ArgumentsLine(arguments_));
}

Engine::~Engine() {
  {
    std::lock_guard<std::mutex> lock(liveMutex);
    liveEngines.erase(this);
  }
  platform_->UnloadUiModule();  // may still send while it stops
  topLevelHook_ = {};
  viewHook_ = {};
  messenger_->Shutdown();
  platform_.reset();
  messenger_->Release();
}

FlutterDesktopPluginRegistrarRef Engine::RegistrarFor(const char* pluginName) {
  if (pluginName == nullptr) return nullptr;
  std::unique_ptr<Registrar>& registrar = registrars_[pluginName];
  if (!registrar) {
    registrar = std::make_unique<Registrar>(Registrar{this, pluginName});
    AppendTranscriptLine("registrar " + registrar->name);
  }
  return reinterpret_cast<FlutterDesktopPluginRegistrarRef>(registrar.get());
}

void Engine::ReloadSystemFonts() { AppendTranscriptLine("font-reload"); }

void Engine::SetNextFrameCallback(FlutterDesktopNextFrameCallback callback, void* user) {
  nextFrame_ = callback;
  nextFrameUser_ = user;
}

bool Engine::StartView(int width, int height) {
  if (viewStarted_ || width < 0 || height < 0) return false;
  if (!platform_->CreateView(width, height)) return false;
  viewStarted_ = true;
  services_.viewWindow = platform_->ViewWindow();
  AppendTranscriptLine("view " + std::to_string(width) + " " + std::to_string(height));
  if (!aotLibraryPath_.empty()) platform_->LoadUiModule(aotLibraryPath_, &services_);
  if (!FramesOnlyOnRequest()) messenger_->ScheduleFrame();
  return true;
}

void Engine::ForceRedraw() {
  AppendTranscriptLine("redraw");
  if (!FramesOnlyOnRequest()) messenger_->ScheduleFrame();
}

bool Engine::FramesOnlyOnRequest() {
  // A scripted UI decides when frames happen, so the first-frame rule can be
  // observed step by step.
  static const bool scripted = std::getenv("VELTRIX_UI_SCENARIO") != nullptr;
  return scripted;
}

void Engine::ProduceFrame() {
  if (viewStarted_) platform_->PaintView();
  // One frame answers one registration; a callback that registers again
  // waits for the next frame.
  FlutterDesktopNextFrameCallback callback = std::exchange(nextFrame_, nullptr);
  void* user = std::exchange(nextFrameUser_, nullptr);
  if (callback == nullptr) return;
  MessengerCore::HostCallback scope(*messenger_);
  callback(user);
}

bool Engine::Call(const Hook& hook, HWND window, UINT message, WPARAM wparam, LPARAM lparam,
                  LRESULT* result) {
  if (hook.function == nullptr) return false;
  LRESULT value = 0;
  if (!hook.function(window, message, wparam, lparam, &value, hook.user)) return false;
  if (result != nullptr) *result = value;
  return true;
}

bool Engine::HandleTopLevelWindowProc(HWND window, UINT message, WPARAM wparam, LPARAM lparam,
                                      LRESULT* result) {
  return Call(topLevelHook_, window, message, wparam, lparam, result);
}

bool Engine::HandleViewWindowProc(HWND window, UINT message, WPARAM wparam, LPARAM lparam,
                                  LRESULT* result) {
  return Call(viewHook_, window, message, wparam, lparam, result);
}

int Engine::LiveCount() {
  std::lock_guard<std::mutex> lock(liveMutex);
  return static_cast<int>(liveEngines.size());
}

bool Engine::IsLive(FlutterDesktopEngineRef handle) {
  std::lock_guard<std::mutex> lock(liveMutex);
  return liveEngines.count(reinterpret_cast<Engine*>(handle)) != 0;
}

size_t Engine::RunAllPending() {
  std::vector<MessengerCore*> messengers;
  {
    std::lock_guard<std::mutex> lock(liveMutex);
    for (Engine* engine : liveEngines) {
      engine->messenger_->AddRef();
      messengers.push_back(engine->messenger_);
    }
  }
  size_t count = 0;
  for (MessengerCore* messenger : messengers) {
    count += messenger->RunPending();
    messenger->Release();
  }
  return count;
}

}  // namespace veltrix::standin
