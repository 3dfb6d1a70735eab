#include "tray/tray_menu_entries.h"

#include <gtest/gtest.h>

#include <ostream>

#include <string>

namespace veltrix {
namespace {

struct ToggleCase {
  const char* state;
  const wchar_t* text;
  bool greyedOnceInitialized;
};

void PrintTo(const ToggleCase& c, std::ostream* os) { *os << c.state; }

class TrayMenuToggleTest : public testing::TestWithParam<ToggleCase> {};

TEST_P(TrayMenuToggleTest, WordsAndGreysTheToggleFromTheState) {
  const ToggleCase& c = GetParam();
  DesktopBridge bridge;
  bridge.connectionState = c.state;

  // Before "initialize" nothing could receive the toggle: always greyed.
  const TrayMenuEntries before = BuildTrayMenuEntries(bridge);
  EXPECT_EQ(before[1].id, kTrayCommandToggle);
  EXPECT_EQ(std::wstring(before[1].text), c.text);
  EXPECT_EQ(before[1].flags, kMenuFlagGrayed);

  bridge.initialized = true;
  const TrayMenuEntries after = BuildTrayMenuEntries(bridge);
  EXPECT_EQ(std::wstring(after[1].text), c.text);
  EXPECT_EQ(after[1].flags, c.greyedOnceInitialized ? kMenuFlagGrayed : kMenuFlagString);
}

INSTANTIATE_TEST_SUITE_P(AllStates, TrayMenuToggleTest,
                         testing::Values(ToggleCase{"disconnected", L"Connect", false},
                                         ToggleCase{"connecting", L"Disconnect", true},
                                         ToggleCase{"connected", L"Disconnect", false},
                                         ToggleCase{"reconnecting", L"Disconnect", true},
                                         ToggleCase{"disconnecting", L"Connect", true},
                                         ToggleCase{"error", L"Connect", false}),
                         [](const testing::TestParamInfo<ToggleCase>& info) {
                           return std::string(info.param.state);
                         });

TEST(TrayMenuEntriesTest, FixedEntriesDoNotDependOnTheState) {
  for (const bool initialized : {false, true}) {
    for (const bool busy : {false, true}) {
      DesktopBridge bridge;
      bridge.initialized = initialized;
      bridge.desktopBusy = busy;
      bridge.connectionState = "connected";
      const TrayMenuEntries entries = BuildTrayMenuEntries(bridge);
      EXPECT_EQ(entries[0].id, kTrayCommandOpen);
      EXPECT_EQ(std::wstring(entries[0].text), L"Open VELTRIX VPN");
      EXPECT_EQ(entries[0].flags, kMenuFlagString);
      EXPECT_EQ(entries[2].id, 0u);
      EXPECT_EQ(entries[2].text, nullptr);
      EXPECT_EQ(entries[2].flags, kMenuFlagSeparator);
      EXPECT_EQ(entries[3].id, kTrayCommandQuit);
      EXPECT_EQ(std::wstring(entries[3].text), L"Quit");
      EXPECT_EQ(entries[3].flags, kMenuFlagString);
    }
  }
}

}  // namespace
}  // namespace veltrix
