#include "engine_client/flutter_view_controller.h"

#include <iostream>
#include <utility>

namespace flutter {

FlutterViewController::FlutterViewController(int32_t width, int32_t height,
                                             std::unique_ptr<FlutterEngine> engine)
    : engine_(std::move(engine)) {
  controller_ = FlutterDesktopViewControllerCreate(width, height, engine_->TakeEngineHandle());
  if (controller_ == nullptr) {
    std::cerr << "Failed to create view controller." << std::endl;
    engine_->ForgetEngine();
    return;
  }
  view_ = std::make_unique<FlutterView>(FlutterDesktopViewControllerGetView(controller_));
}

// The engine ends with the controller, before the messenger and its handlers
// go with the engine wrapper, so no handler runs after the engine is gone.
FlutterViewController::~FlutterViewController() {
  if (controller_ != nullptr) FlutterDesktopViewControllerDestroy(controller_);
  controller_ = nullptr;
  view_.reset();
  engine_.reset();
}

std::optional<LRESULT> FlutterViewController::HandleTopLevelWindowProc(HWND window, UINT message,
                                                                       WPARAM wparam,
                                                                       LPARAM lparam) {
  if (controller_ == nullptr) return std::nullopt;
  LRESULT result = 0;
  if (FlutterDesktopViewControllerHandleTopLevelWindowProc(controller_, window, message, wparam,
                                                           lparam, &result)) {
    return result;
  }
  return std::nullopt;
}

void FlutterViewController::ForceRedraw() {
  if (controller_ != nullptr) FlutterDesktopViewControllerForceRedraw(controller_);
}

}  // namespace flutter
