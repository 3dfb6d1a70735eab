#include "window/ui_commands.h"

namespace veltrix {

// The user interface's answer to "quit": a refusal quits the host.
class QuitAnswer : public flutter::MethodResult {
 public:
  explicit QuitAnswer(std::weak_ptr<UiCommands*> commands) : commands_(std::move(commands)) {}

 protected:
  void OnSuccess(const flutter::EncodableValue*) override {}
  void OnError(const std::string&, const std::string&, const flutter::EncodableValue*) override {
    Refused();
  }
  void OnNotImplemented() override { Refused(); }

 private:
  void Refused() {
    if (const auto commands = commands_.lock()) (*commands)->QuitHost();
  }

  std::weak_ptr<UiCommands*> commands_;
};

UiCommands::UiCommands(DesktopState& state, std::function<bool()> quitHost,
                       std::function<void()> startQuitTimer)
    : state_(state), quitHost_(std::move(quitHost)), startQuitTimer_(std::move(startQuitTimer)) {}

void UiCommands::Send(UiCommand command) {
  switch (RouteUiCommand(state_.initialized(), static_cast<bool>(send_), command)) {
    case UiCommandRoute::kSendToUi:
      if (command == UiCommand::kQuit) return AskToQuit();
      send_(std::string(UiCommandName(command)), nullptr);
      return;
    case UiCommandRoute::kQuitHost:
      QuitHost();
      return;
    case UiCommandRoute::kDrop:
      return;
  }
}

void UiCommands::OnQuitTimer() {
  if (!state_.quitting()) QuitHost();
}

void UiCommands::AskToQuit() {
  if (!quitTimerStarted_) {
    quitTimerStarted_ = true;
    startQuitTimer_();
  }
  send_(std::string(UiCommandName(UiCommand::kQuit)), std::make_unique<QuitAnswer>(self_));
}

void UiCommands::QuitHost() {
  if (quitHost_()) state_.BeginQuitting();
}

}  // namespace veltrix
