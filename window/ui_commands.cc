#include "window/ui_commands.h"

#include <string>

namespace veltrix {
namespace {

constexpr std::chrono::seconds kQuitAnswerTime{3};

}  // namespace

// The user interface's answer to "quit": a refusal quits the host.
class QuitAnswer : public flutter::MethodResult {
 public:
  explicit QuitAnswer(std::weak_ptr<UiCommands*> commands) : commands_(std::move(commands)) {}

 protected:
  void OnSuccess(const flutter::EncodableValue*) override { Answered(false); }
  void OnError(const std::string&, const std::string&, const flutter::EncodableValue*) override {
    Answered(true);
  }
  void OnNotImplemented() override { Answered(true); }

 private:
  void Answered(bool refused) {
    const auto commands = commands_.lock();
    if (!commands) return;
    (*commands)->quitAskedAt_.reset();
    if (refused) (*commands)->QuitHost();
  }

  std::weak_ptr<UiCommands*> commands_;
};

UiCommands::UiCommands(DesktopState& state, std::function<bool()> quitHost)
    : state_(state), quitHost_(std::move(quitHost)) {}

void UiCommands::Send(UiCommand command) {
  switch (RouteUiCommand(state_.initialized(), channel_ != nullptr, command)) {
    case UiCommandRoute::kSendToUi:
      if (command == UiCommand::kQuit) return AskToQuit();
      channel_->InvokeMethod(std::string(UiCommandName(command)), nullptr);
      return;
    case UiCommandRoute::kQuitHost:
      QuitHost();
      return;
    case UiCommandRoute::kDrop:
      return;
  }
}

void UiCommands::AskToQuit() {
  const auto now = std::chrono::steady_clock::now();
  if (quitAskedAt_ && now - *quitAskedAt_ >= kQuitAnswerTime) return QuitHost();
  if (!quitAskedAt_) quitAskedAt_ = now;
  channel_->InvokeMethod(std::string(UiCommandName(UiCommand::kQuit)), nullptr,
                         std::make_unique<QuitAnswer>(self_));
}

void UiCommands::QuitHost() {
  if (quitHost_()) state_.BeginQuitting();
}

}  // namespace veltrix
