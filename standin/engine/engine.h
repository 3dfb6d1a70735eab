#ifndef STANDIN_ENGINE_ENGINE_H_
#define STANDIN_ENGINE_ENGINE_H_

#include <map>
#include <memory>
#include <string>
#include <vector>

#include "engine_client/engine_api.h"
#include "standin/engine/messenger_core.h"
#include "standin/engine/platform.h"
#include "standin/ui_module_api.h"

namespace veltrix::standin {

class Engine;
struct EngineHookAccess;

// One per plug-in name and engine.
struct Registrar {
  Engine* engine = nullptr;
  std::string name;
};

// The stand-in engine: its messenger, registrars and next-frame callback,
// and, once a view controller runs it, the view and the UI module.
class Engine {
 public:
  explicit Engine(const FlutterDesktopEngineProperties& properties);
  ~Engine();

  Engine(const Engine&) = delete;
  Engine& operator=(const Engine&) = delete;

  static Engine* FromHandle(FlutterDesktopEngineRef handle) {
    return reinterpret_cast<Engine*>(handle);
  }
  FlutterDesktopEngineRef handle() { return reinterpret_cast<FlutterDesktopEngineRef>(this); }

  MessengerCore& messenger() { return *messenger_; }
  const VeltrixEngineServices* services() const { return &services_; }
  FlutterDesktopPluginRegistrarRef RegistrarFor(const char* pluginName);
  void ReloadSystemFonts();
  void SetNextFrameCallback(FlutterDesktopNextFrameCallback callback, void* user);

  // Runs the engine with a view: the window, the UI module, a first frame.
  bool StartView(int width, int height);
  HWND ViewWindow() const { return platform_->ViewWindow(); }
  void ForceRedraw();
  bool HandleTopLevelWindowProc(HWND window, UINT message, WPARAM wparam, LPARAM lparam,
                                LRESULT* result);
  // The view window's messages, offered to the UI module first.
  bool HandleViewWindowProc(HWND window, UINT message, WPARAM wparam, LPARAM lparam,
                            LRESULT* result);

  static int LiveCount();
  // Whether `handle` is an engine made and not yet destroyed; never reads it.
  static bool IsLive(FlutterDesktopEngineRef handle);
  static size_t RunAllPending();

 private:
  friend struct EngineHookAccess;

  struct Hook {
    VeltrixUiWindowHook function = nullptr;
    void* user = nullptr;
  };

  void ProduceFrame();
  static bool FramesOnlyOnRequest();
  static bool Call(const Hook& hook, HWND window, UINT message, WPARAM wparam, LPARAM lparam,
                   LRESULT* result);

  std::vector<std::string> arguments_;
  std::vector<const char*> argumentPointers_;
  std::wstring aotLibraryPath_;
  MessengerCore* messenger_;  // one reference
  std::unique_ptr<Platform> platform_;
  std::map<std::string, std::unique_ptr<Registrar>> registrars_;
  FlutterDesktopNextFrameCallback nextFrame_ = nullptr;
  void* nextFrameUser_ = nullptr;
  Hook topLevelHook_;
  Hook viewHook_;
  VeltrixEngineServices services_{};
  bool viewStarted_ = false;
};

}  // namespace veltrix::standin

#endif  // STANDIN_ENGINE_ENGINE_H_
