#ifndef ENGINE_CLIENT_FLUTTER_VIEW_CONTROLLER_H_
#define ENGINE_CLIENT_FLUTTER_VIEW_CONTROLLER_H_

#include <cstdint>
#include <memory>
#include <optional>

#include "engine_client/engine_api.h"
#include "engine_client/engine_project.h"
#include "engine_client/flutter_engine.h"
#include "engine_client/flutter_view.h"

namespace flutter {

// Runs an engine with its view and passes top-level window messages to it.
class FlutterViewController {
 public:
  // `width` and `height` are client-area pixels; `engine` (never null) is
  // handed over with its engine, which the view now owns and starts.
  FlutterViewController(int32_t width, int32_t height, std::unique_ptr<FlutterEngine> engine);
  virtual ~FlutterViewController();

  FlutterViewController(const FlutterViewController&) = delete;
  FlutterViewController& operator=(const FlutterViewController&) = delete;

  FlutterEngine* engine() const { return engine_.get(); }
  // Null when the engine refused to create the view.
  FlutterView* view() const { return view_.get(); }

  // A result when the engine consumed the message.
  std::optional<LRESULT> HandleTopLevelWindowProc(HWND window, UINT message, WPARAM wparam,
                                                  LPARAM lparam);
  void ForceRedraw();

 private:
  FlutterDesktopViewControllerRef controller_ = nullptr;
  std::shared_ptr<FlutterEngine> engine_;
  std::unique_ptr<FlutterView> view_;
};

}  // namespace flutter

#endif  // ENGINE_CLIENT_FLUTTER_VIEW_CONTROLLER_H_
