#include "tray/tray_event.h"

#include <gtest/gtest.h>

#include <ostream>

#include <cstdint>

namespace veltrix {
namespace {

// The version 4 anchor: x in the low word, y in the next.
uintptr_t Anchor(int16_t x, int16_t y) {
  return static_cast<uint16_t>(x) | (static_cast<uintptr_t>(static_cast<uint16_t>(y)) << 16);
}

// Version 4 puts the icon id in the high word of lParam.
intptr_t Version4LParam(uint32_t event) { return static_cast<intptr_t>((1u << 16) | event); }

struct KindCase {
  const char* name;
  bool version4;
  intptr_t lParam;
  TrayEventKind kind;
};

void PrintTo(const KindCase& c, std::ostream* os) { *os << c.name; }

class TrayEventKindTest : public testing::TestWithParam<KindCase> {};

TEST_P(TrayEventKindTest, Decodes) {
  const KindCase& c = GetParam();
  EXPECT_EQ(DecodeTrayEvent(c.version4, Anchor(5, 6), c.lParam).kind, c.kind);
}

INSTANTIATE_TEST_SUITE_P(
    Events, TrayEventKindTest,
    testing::Values(
        KindCase{"v4Select", true, Version4LParam(kTrayEventSelect), TrayEventKind::kSelect},
        KindCase{"v4KeySelect", true, Version4LParam(kTrayEventKeySelect), TrayEventKind::kSelect},
        KindCase{"v4ContextMenu", true, Version4LParam(kTrayEventContextMenu),
                 TrayEventKind::kContextMenu},
        // Version 4 reports clicks as NIN_SELECT; the raw button-up messages
        // would act twice.
        KindCase{"v4LeftUp", true, Version4LParam(kTrayEventLeftButtonUp), TrayEventKind::kIgnored},
        KindCase{"v4RightUp", true, Version4LParam(kTrayEventRightButtonUp),
                 TrayEventKind::kIgnored},
        KindCase{"v4DoubleClick", true, Version4LParam(kTrayEventLeftDoubleClick),
                 TrayEventKind::kIgnored},
        KindCase{"v4MouseMove", true, Version4LParam(0x0200), TrayEventKind::kIgnored},
        KindCase{"oldSelect", false, kTrayEventSelect, TrayEventKind::kSelect},
        KindCase{"oldKeySelect", false, kTrayEventKeySelect, TrayEventKind::kSelect},
        KindCase{"oldLeftUp", false, kTrayEventLeftButtonUp, TrayEventKind::kSelect},
        KindCase{"oldRightUp", false, kTrayEventRightButtonUp, TrayEventKind::kContextMenu},
        KindCase{"oldContextMenu", false, kTrayEventContextMenu, TrayEventKind::kContextMenu},
        KindCase{"oldDoubleClick", false, kTrayEventLeftDoubleClick, TrayEventKind::kIgnored},
        KindCase{"oldLeftDown", false, 0x0201, TrayEventKind::kIgnored},
        KindCase{"oldBalloonClick", false, 0x0405, TrayEventKind::kIgnored},
        // The older form compares all 32 bits: a high word makes it another event.
        KindCase{"oldHighWordSet", false, Version4LParam(kTrayEventLeftButtonUp),
                 TrayEventKind::kIgnored}),
    [](const testing::TestParamInfo<KindCase>& info) { return info.param.name; });

TEST(TrayEventTest, Version4AnchorIsSignedScreenPosition) {
  const TrayEvent left =
      DecodeTrayEvent(true, Anchor(-1200, -40), Version4LParam(kTrayEventContextMenu));
  EXPECT_TRUE(left.hasAnchor);
  EXPECT_EQ(left.x, -1200);
  EXPECT_EQ(left.y, -40);

  const TrayEvent right =
      DecodeTrayEvent(true, Anchor(3839, 2159), Version4LParam(kTrayEventContextMenu));
  EXPECT_EQ(right.x, 3839);
  EXPECT_EQ(right.y, 2159);

  // Bits above the two words do not leak into the coordinates.
  const uintptr_t noisy = Anchor(100, 200) | (uintptr_t{0xFFFF} << 32);
  const TrayEvent masked = DecodeTrayEvent(true, noisy, Version4LParam(kTrayEventContextMenu));
  EXPECT_EQ(masked.x, 100);
  EXPECT_EQ(masked.y, 200);
}

TEST(TrayEventTest, OlderFormLeavesThePositionToTheCursor) {
  const TrayEvent event = DecodeTrayEvent(false, Anchor(100, 200), kTrayEventRightButtonUp);
  EXPECT_EQ(event.kind, TrayEventKind::kContextMenu);
  EXPECT_FALSE(event.hasAnchor);
}

}  // namespace
}  // namespace veltrix
