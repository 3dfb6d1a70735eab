#include "window/ui_commands.h"

#include "window/window_decisions.h"

namespace veltrix {

void UiCommands::Send(const std::string& method) {
  switch (RouteUiCommand(state_.initialized(), channel_ != nullptr, method)) {
    case UiCommandRoute::kSendToUi:
      channel_->InvokeMethod(method, nullptr);
      return;
    case UiCommandRoute::kQuitHost:
      state_.BeginQuitting();
      // A failed post leaves the window open; a later close tries again.
      (void)host_.PostQuitRequest();
      return;
    case UiCommandRoute::kDrop:
      return;
  }
}

}  // namespace veltrix
