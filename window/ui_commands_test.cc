#include "window/ui_commands.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace veltrix {
namespace {

// The user interface has initialised; the test plays its answers and the
// host window's one timer.
struct QuitHarness {
  QuitHarness() {
    state.MarkInitialized();
    commands.Connect([this](const std::string& method, std::unique_ptr<flutter::MethodResult> r) {
      sent.push_back(method);
      answers.push_back(std::move(r));
    });
  }
  DesktopState state;
  std::vector<std::string> sent;
  std::vector<std::unique_ptr<flutter::MethodResult>> answers;
  int timersStarted = 0;
  int quits = 0;
  UiCommands commands{state, [this] { return ++quits > 0; }, [this] { ++timersStarted; }};
};

TEST(UiCommandsTest, TheHostQuitsWhenTheGraceEndsWhateverTheAnswer) {
  QuitHarness ui;
  ui.commands.Send(UiCommand::kQuit);
  ui.answers.back()->Success();
  // Asking again is sent again, and does not put the end off.
  ui.commands.Send(UiCommand::kQuit);
  EXPECT_EQ(ui.sent, (std::vector<std::string>{"quit", "quit"}));
  EXPECT_EQ(ui.timersStarted, 1);
  EXPECT_EQ(ui.quits, 0);

  ui.commands.OnQuitTimer();
  EXPECT_EQ(ui.quits, 1);
  EXPECT_TRUE(ui.state.quitting());
  ui.commands.OnQuitTimer();
  EXPECT_EQ(ui.quits, 1) << "already quitting";
}

TEST(UiCommandsTest, ARefusedQuitQuitsAtOnce) {
  for (const bool error : {true, false}) {
    QuitHarness ui;
    ui.commands.Send(UiCommand::kQuit);
    error ? ui.answers.back()->Error("busy", "Disconnecting.")
          : ui.answers.back()->NotImplemented();
    EXPECT_EQ(ui.quits, 1) << error;
  }
}

}  // namespace
}  // namespace veltrix
