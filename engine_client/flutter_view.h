#ifndef ENGINE_CLIENT_FLUTTER_VIEW_H_
#define ENGINE_CLIENT_FLUTTER_VIEW_H_

#include "engine_client/engine_api.h"

namespace flutter {

// The engine's view: the child window that shows the user interface.
class FlutterView {
 public:
  explicit FlutterView(FlutterDesktopViewRef view) : view_(view) {}
  virtual ~FlutterView() = default;

  FlutterView(const FlutterView&) = delete;
  FlutterView& operator=(const FlutterView&) = delete;

  HWND NativeWindow() const { return FlutterDesktopViewGetHWND(view_); }

 private:
  FlutterDesktopViewRef view_;
};

}  // namespace flutter

#endif  // ENGINE_CLIENT_FLUTTER_VIEW_H_
