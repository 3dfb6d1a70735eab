#include "tray/tray_appearance.h"

#include <gtest/gtest.h>

#include <array>
#include <string>
#include <utility>

namespace veltrix {
namespace {

TEST(TrayAppearanceTest, SmallIconFollowsTheDpi) {
  const std::pair<uint32_t, int> cases[] = {{96, 16}, {120, 20}, {144, 24}, {168, 28}, {0, 16}};
  for (const auto& [dpi, size] : cases) EXPECT_EQ(SmallIconSize(dpi), size) << dpi;
}

TEST(TrayAppearanceTest, TooltipFillsTheShellsFieldTerminated) {
  std::array<wchar_t, kTrayTipCapacity> tip;
  tip.fill(L'x');
  FormatTrayTooltip(ConnectionState::Error, tip);
  EXPECT_EQ(std::wstring(tip.data()), L"VELTRIX VPN - Connection error");
  EXPECT_EQ(tip.back(), L'\0');

  // Too long for the field: cut, never unterminated.
  std::array<wchar_t, 8> small;
  CopyTrayTip(L"VELTRIX VPN", small);
  EXPECT_EQ(std::wstring(small.data()), L"VELTRIX");
}

}  // namespace
}  // namespace veltrix
