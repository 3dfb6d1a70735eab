#include "tray/tray_menu_entries.h"

#include <gtest/gtest.h>

#include <string>

namespace veltrix {
namespace {

TEST(TrayMenuEntriesTest, WordsAndGreysTheToggleFromTheState) {
  const struct {
    const char* state;
    const wchar_t* text;
    bool greyedOnceInitialized;
  } cases[] = {
      {"disconnected", L"Connect", false}, {"connecting", L"Disconnect", true},
      {"connected", L"Disconnect", false}, {"reconnecting", L"Disconnect", true},
      {"disconnecting", L"Connect", true}, {"error", L"Connect", false},
  };
  for (const auto& c : cases) {
    for (const bool initialized : {false, true}) {
      SCOPED_TRACE(testing::Message() << c.state << " initialized=" << initialized);
      DesktopBridge bridge;
      bridge.connectionState = c.state;
      bridge.initialized = initialized;
      const TrayMenuEntries entries = BuildTrayMenuEntries(bridge);
      EXPECT_EQ(entries[0].id, kTrayCommandOpen);
      EXPECT_EQ(std::wstring(entries[0].text), L"Open VELTRIX VPN");
      EXPECT_EQ(entries[0].flags, kMenuFlagString);
      EXPECT_EQ(entries[1].id, kTrayCommandToggle);
      EXPECT_EQ(std::wstring(entries[1].text), c.text);
      // Before "initialize" nothing could receive the toggle.
      EXPECT_EQ(entries[1].flags,
                !initialized || c.greyedOnceInitialized ? kMenuFlagGrayed : kMenuFlagString);
      EXPECT_EQ(entries[2].flags, kMenuFlagSeparator);
      EXPECT_EQ(entries[2].text, nullptr);
      EXPECT_EQ(entries[3].id, kTrayCommandQuit);
      EXPECT_EQ(std::wstring(entries[3].text), L"Quit");
      EXPECT_EQ(entries[3].flags, kMenuFlagString);
    }
  }
}

}  // namespace
}  // namespace veltrix
