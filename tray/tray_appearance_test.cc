#include "tray/tray_tooltip.h"

#include <gtest/gtest.h>

#include <array>
#include <string>

namespace veltrix {
namespace {

TEST(TrayTooltipTest, FillsTheShellsFieldTerminated) {
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
