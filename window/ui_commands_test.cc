#include "window/ui_commands.h"

#include <gtest/gtest.h>

#include <tuple>
#include <vector>

namespace veltrix {
namespace {

// An initialised user interface whose answers the test gives, and the host
// window's one timer, which the test fires.
struct QuitHarness {
  QuitHarness() {
    state.MarkInitialized();
    commands.Connect([this](const std::string&, std::unique_ptr<flutter::MethodResult> answer) {
      answers.push_back(std::move(answer));
    });
  }
  DesktopState state;
  std::vector<std::unique_ptr<flutter::MethodResult>> answers;
  int timersStarted = 0;
  int quits = 0;
  UiCommands commands{state, [this] { return ++quits > 0; }, [this] { ++timersStarted; }};
};

TEST(UiCommandsTest, TheHostQuitsWhenTheGraceEndsWhateverTheAnswer) {
  QuitHarness ui;
  ui.commands.Send(UiCommand::kQuit);
  ui.answers.back()->Success();
  // Asked again: sent again, without putting the end off.
  ui.commands.Send(UiCommand::kQuit);
  EXPECT_EQ(std::make_tuple(ui.answers.size(), ui.timersStarted, ui.quits),
            std::make_tuple(size_t{2}, 1, 0));
  ui.commands.OnQuitTimer();
  ui.commands.OnQuitTimer();
  EXPECT_EQ(ui.quits, 1);
  EXPECT_TRUE(ui.state.quitting());

  // A refusal, or no handler, quits at once.
  QuitHarness refused, unhandled;
  refused.commands.Send(UiCommand::kQuit);
  refused.answers.back()->Error("busy", "Disconnecting.");
  unhandled.commands.Send(UiCommand::kQuit);
  unhandled.answers.back()->NotImplemented();
  EXPECT_EQ(refused.quits + unhandled.quits, 2);
}

}  // namespace
}  // namespace veltrix
