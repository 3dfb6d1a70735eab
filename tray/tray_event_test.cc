// The end-to-end scenarios click, select and right-click the icon in the
// version 4 form; the older form and the anchor's sign are only seen here.
#include "tray/tray_event.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <utility>

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
      // Version 4 reports clicks as NIN_SELECT; the raw button-up messages would act twice.
      {true, Version4(kTrayEventLeftButtonUp), kIgnored},
      {false, kTrayEventKeySelect, kSelect},
      {false, kTrayEventLeftButtonUp, kSelect},
      {false, kTrayEventRightButtonUp, kContextMenu},
      {false, kTrayEventLeftDoubleClick, kIgnored},
      // The older form compares all 32 bits: a high word makes it another event.
      {false, Version4(kTrayEventLeftButtonUp), kIgnored},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(testing::Message() << c.version4 << " " << std::hex << c.lParam);
    const TrayEvent event = DecodeTrayEvent(c.version4, Anchor(5, 6), c.lParam);
    EXPECT_EQ(event.kind, c.kind);
    EXPECT_FALSE(event.hasAnchor);  // the older form leaves it to the cursor
  }
  // Version 4's anchor is a signed screen position; bits above the two
  // words do not leak into it.
  const TrayEvent event = DecodeTrayEvent(true, Anchor(-1201, 2159) | (uintptr_t{0xFFFF} << 32),
                                          Version4(kTrayEventContextMenu));
  EXPECT_TRUE(event.hasAnchor);
  EXPECT_EQ(std::make_pair(event.x, event.y), std::make_pair(-1201, 2159));
}

}  // namespace
}  // namespace veltrix
