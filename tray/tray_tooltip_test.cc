#include "tray/tray_tooltip.h"

#include <gtest/gtest.h>

#include <array>
#include <string>

namespace veltrix {
namespace {

TEST(TrayTooltipTest, ShowsTheLabelOfEveryState) {
  const struct {
    const char* state;
    const wchar_t* tip;
  } cases[] = {
      {"disconnected", L"VELTRIX VPN - Disconnected"},
      {"connecting", L"VELTRIX VPN - Connecting"},
      {"connected", L"VELTRIX VPN - Connected"},
      {"reconnecting", L"VELTRIX VPN - Reconnecting"},
      {"disconnecting", L"VELTRIX VPN - Disconnecting"},
      {"error", L"VELTRIX VPN - Connection error"},
      {"Connected", L"VELTRIX VPN - Disconnected"},  // unknown states still read sensibly
  };
  for (const auto& c : cases) {
    std::array<wchar_t, kTrayTipCapacity> tip;
    tip.fill(L'x');
    FormatTrayTooltip(c.state, tip);
    EXPECT_EQ(std::wstring(tip.data()), c.tip) << c.state;
    EXPECT_EQ(tip.back(), L'\0');
  }
}

TEST(TrayTooltipTest, CopyIsCutAndTerminated) {
  std::array<wchar_t, 8> small;
  small.fill(L'x');
  CopyTrayTip(L"VELTRIX VPN", small);
  EXPECT_EQ(std::wstring(small.data()), L"VELTRIX");
  std::array<wchar_t, 1> one{L'x'};
  CopyTrayTip(L"VELTRIX VPN", one);
  EXPECT_EQ(one[0], L'\0');
  CopyTrayTip(L"VELTRIX VPN", std::span<wchar_t>());  // must not write anywhere
}

}  // namespace
}  // namespace veltrix
