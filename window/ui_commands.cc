#include "window/ui_commands.h"

#include "window/window_decisions.h"

namespace veltrix {
namespace {

constexpr std::chrono::seconds kQuitAnswerTime{3};

// The user interface's answer to "quit".
class QuitAnswer : public flutter::MethodResult {
 public:
  explicit QuitAnswer(std::weak_ptr<std::function<void(bool)>> onAnswer)
      : onAnswer_(std::move(onAnswer)) {}

 protected:
  void OnSuccess(const flutter::EncodableValue*) override { Answered(false); }
  void OnError(const std::string&, const std::string&, const flutter::EncodableValue*) override {
    Answered(true);
  }
  void OnNotImplemented() override { Answered(true); }

 private:
  void Answered(bool refused) {
    if (const auto onAnswer = onAnswer_.lock()) (*onAnswer)(refused);
  }

  std::weak_ptr<std::function<void(bool)>> onAnswer_;
};

}  // namespace

UiCommands::UiCommands(DesktopState& state, DesktopOperations& host)
    : state_(state),
      host_(host),
      onQuitAnswer_(std::make_shared<std::function<void(bool)>>([this](bool refused) {
        quitAskedAt_.reset();
        if (refused) QuitHost();
      })) {}

void UiCommands::Send(const std::string& method) {
  switch (RouteUiCommand(state_.initialized(), channel_ != nullptr, method)) {
    case UiCommandRoute::kSendToUi:
      if (method == "quit") return AskToQuit();
      channel_->InvokeMethod(method, nullptr);
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
  channel_->InvokeMethod("quit", nullptr, std::make_unique<QuitAnswer>(onQuitAnswer_));
}

void UiCommands::QuitHost() {
  if (host_.PostQuitRequest()) state_.BeginQuitting();
}

}  // namespace veltrix
