#include "tray/tray_event.h"

#include <gtest/gtest.h>

#include <cstdint>

namespace veltrix {
namespace {

// The version 4 anchor: x in the low word, y in the next.
uintptr_t Anchor(int16_t x, int16_t y) {
  return static_cast<uint16_t>(x) | (static_cast<uintptr_t>(static_cast<uint16_t>(y)) << 16);
}

// Version 4 puts the icon id in the high word of lParam.
intptr_t Version4(uint32_t event) { return static_cast<intptr_t>((1u << 16) | event); }

TEST(TrayEventTest, DecodesEachVersionsEvents) {
  using enum TrayEventKind;
  const struct {
    bool version4;
    intptr_t lParam;
    TrayEventKind kind;
  } cases[] = {
      {true, Version4(kTrayEventSelect), kSelect},
      {true, Version4(kTrayEventKeySelect), kSelect},
      {true, Version4(kTrayEventContextMenu), kContextMenu},
      // Version 4 reports clicks as NIN_SELECT; the raw button-up messages would act twice.
      {true, Version4(kTrayEventLeftButtonUp), kIgnored},
      {true, Version4(kTrayEventRightButtonUp), kIgnored},
      {true, Version4(kTrayEventLeftDoubleClick), kIgnored},
      {false, kTrayEventSelect, kSelect},
      {false, kTrayEventKeySelect, kSelect},
      {false, kTrayEventLeftButtonUp, kSelect},
      {false, kTrayEventRightButtonUp, kContextMenu},
      {false, kTrayEventContextMenu, kContextMenu},
      {false, kTrayEventLeftDoubleClick, kIgnored},
      {false, 0x0201, kIgnored},  // left button down
      // The older form compares all 32 bits: a high word makes it another event.
      {false, Version4(kTrayEventLeftButtonUp), kIgnored},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(testing::Message() << c.version4 << " " << std::hex << c.lParam);
    const TrayEvent event = DecodeTrayEvent(c.version4, Anchor(5, 6), c.lParam);
    EXPECT_EQ(event.kind, c.kind);
    EXPECT_TRUE(c.version4 || !event.hasAnchor);  // the older form leaves it to the cursor
  }
}

TEST(TrayEventTest, Version4AnchorIsSignedScreenPosition) {
  const struct {
    uintptr_t anchor;
    int x, y;
  } cases[] = {
      {Anchor(-1200, -40), -1200, -40},
      {Anchor(3839, 2159), 3839, 2159},
      // Bits above the two words do not leak into the coordinates.
      {Anchor(100, 200) | (uintptr_t{0xFFFF} << 32), 100, 200},
  };
  for (const auto& c : cases) {
    const TrayEvent event = DecodeTrayEvent(true, c.anchor, Version4(kTrayEventContextMenu));
    EXPECT_TRUE(event.hasAnchor);
    EXPECT_EQ(event.x, c.x);
    EXPECT_EQ(event.y, c.y);
  }
}

}  // namespace
}  // namespace veltrix
