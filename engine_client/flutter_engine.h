#ifndef ENGINE_CLIENT_FLUTTER_ENGINE_H_
#define ENGINE_CLIENT_FLUTTER_ENGINE_H_

#include <functional>
#include <memory>
#include <string>

#include "engine_client/binary_messenger.h"
#include "engine_client/engine_api.h"
#include "engine_client/engine_project.h"
#include "engine_client/plugin_registry.h"

namespace flutter {

// Owns one engine of the engine library until a view controller takes it,
// and the messenger with every channel handler.
class FlutterEngine : public PluginRegistry {
 public:
  // Creates the engine; the project must outlive it. Null when the engine
  // library refused (a real engine does without its data files), so that no
  // wrapper of a missing engine ever reaches a view.
  static std::unique_ptr<FlutterEngine> Create(const EngineProject& project);
  ~FlutterEngine() override;

  // Hands ownership of the engine to the caller; this wrapper goes on using
  // the handle but never destroys it.
  FlutterDesktopEngineRef TakeEngineHandle();

  BinaryMessenger* messenger();
  void ReloadSystemFonts();
  // `callback` runs once, after the next frame; it replaces a pending one.
  void SetNextFrameCallback(std::function<void()> callback);
  FlutterDesktopPluginRegistrarRef RegistrarForPlugin(const std::string& name) override;

 private:
  friend class FlutterViewController;

  explicit FlutterEngine(FlutterDesktopEngineRef engine);
  // After the engine refused a view it owns the engine no more than we do;
  // forget the handle so that nothing calls into an engine that may be gone.
  void ForgetEngine();
  static void OnNextFrame(void* user_data) noexcept;

  FlutterDesktopEngineRef engine_ = nullptr;
  std::unique_ptr<BinaryMessengerImpl> messenger_;
  bool ownsEngine_ = true;
  std::function<void()> nextFrameCallback_;
};

}  // namespace flutter

#endif  // ENGINE_CLIENT_FLUTTER_ENGINE_H_
