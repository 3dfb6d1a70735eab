#include "engine_client/flutter_engine.h"

#include <iostream>
#include <utility>

#include "engine_client/engine_properties.h"

namespace flutter {

EnginePropertiesRecord::EnginePropertiesRecord(const EngineProject& project) {
  for (const std::string& argument : project.entryPointArguments()) {
    arguments_.push_back(argument.c_str());
  }
  record_.assetsPath = project.assetsPath().c_str();
  record_.icuDataPath = project.icuDataPath().c_str();
  record_.aotLibraryPath = project.aotLibraryPath().c_str();
  record_.entryPoint = project.entryPoint().c_str();  // "" rather than null
  record_.entryPointArgumentCount = static_cast<int>(arguments_.size());
  record_.entryPointArguments = arguments_.empty() ? nullptr : arguments_.data();
  record_.gpuPreference = project.gpuPreference();
  record_.uiThreadPolicy = project.uiThreadPolicy();
}

std::unique_ptr<FlutterEngine> FlutterEngine::Create(const EngineProject& project) {
  EnginePropertiesRecord properties(project);
  FlutterDesktopEngineRef engine = FlutterDesktopEngineCreate(&properties.record());
  if (engine == nullptr) return nullptr;
  return std::unique_ptr<FlutterEngine>(new FlutterEngine(engine));
}

FlutterEngine::FlutterEngine(FlutterDesktopEngineRef engine)
    : engine_(engine),
      messenger_(std::make_unique<BinaryMessengerImpl>(FlutterDesktopEngineGetMessenger(engine))) {}

FlutterEngine::~FlutterEngine() {
  if (engine_ != nullptr && ownsEngine_) FlutterDesktopEngineDestroy(engine_);
  engine_ = nullptr;
  nextFrameCallback_ = nullptr;
  messenger_.reset();
}

FlutterDesktopEngineRef FlutterEngine::TakeEngineHandle() {
  ownsEngine_ = false;
  return engine_;
}

void FlutterEngine::ForgetEngine() {
  engine_ = nullptr;
  ownsEngine_ = false;
  nextFrameCallback_ = nullptr;
  messenger_ = std::make_unique<BinaryMessengerImpl>(nullptr);
}

BinaryMessenger* FlutterEngine::messenger() { return messenger_.get(); }

void FlutterEngine::ReloadSystemFonts() {
  if (engine_ != nullptr) FlutterDesktopEngineReloadSystemFonts(engine_);
}

void FlutterEngine::SetNextFrameCallback(std::function<void()> callback) {
  nextFrameCallback_ = std::move(callback);
  if (engine_ != nullptr) {
    FlutterDesktopEngineSetNextFrameCallback(engine_, &FlutterEngine::OnNextFrame, this);
  }
}

void FlutterEngine::OnNextFrame(void* user_data) noexcept {
  auto* self = static_cast<FlutterEngine*>(user_data);
  // Taken out first: the callback may set the next one.
  std::function<void()> callback = std::move(self->nextFrameCallback_);
  self->nextFrameCallback_ = nullptr;
  if (callback) callback();
}

FlutterDesktopPluginRegistrarRef FlutterEngine::RegistrarForPlugin(const std::string& name) {
  if (engine_ == nullptr) {
    std::cerr << "Cannot get plugin registrar on an engine that isn't running; call Run first."
              << std::endl;
    return nullptr;
  }
  return FlutterDesktopEngineGetPluginRegistrar(engine_, name.c_str());
}

}  // namespace flutter
