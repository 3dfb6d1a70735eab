#include "tray/tray_commands.h"

#include <gtest/gtest.h>

namespace veltrix {
namespace {

TEST(DecideCloseActionTest, FollowsBusyCloseToTrayAndQuitting) {
  const struct {
    bool busy, closeToTray, quitting;
    CloseAction action;
  } cases[] = {
      {true, true, false, CloseAction::kIgnore},
      {true, false, true, CloseAction::kIgnore},
      {false, true, false, CloseAction::kHideToTray},
      {false, false, false, CloseAction::kQuit},
      // Once on the way out a close quits again rather than hiding.
      {false, true, true, CloseAction::kQuit},
  };
  for (const auto& c : cases) {
    DesktopBridge bridge;
    bridge.desktopBusy = c.busy;
    bridge.closeToTray = c.closeToTray;
    bridge.quitting = c.quitting;
    EXPECT_EQ(DecideCloseAction(bridge), c.action) << c.busy << c.closeToTray << c.quitting;
  }
}

TEST(RouteUiCommandTest, SendsOnlyToAnInitialisedInterface) {
  const struct {
    bool initialized, channelOpen;
    const char* method;
    UiCommandRoute route;
  } cases[] = {
      {true, true, "open", UiCommandRoute::kSendToUi},
      {true, true, "quit", UiCommandRoute::kSendToUi},
      {false, true, "open", UiCommandRoute::kDrop},
      {false, true, "toggle", UiCommandRoute::kDrop},
      {false, true, "quit", UiCommandRoute::kQuitHost},
      {true, false, "quit", UiCommandRoute::kQuitHost},
      {true, false, "toggle", UiCommandRoute::kDrop},
  };
  for (const auto& c : cases) {
    DesktopBridge bridge;
    bridge.initialized = c.initialized;
    EXPECT_EQ(RouteUiCommand(bridge, c.channelOpen, c.method), c.route)
        << c.initialized << c.channelOpen << c.method;
  }
}

}  // namespace
}  // namespace veltrix
