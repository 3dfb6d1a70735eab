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

// The host window's test sees the whole tooltip; a text too long for the
// field is cut, never left unterminated.
TEST(TrayAppearanceTest, TooLongATipIsCutAndTerminated) {
  std::array<wchar_t, 8> small;
  CopyTrayTip(L"VELTRIX VPN", small);
  EXPECT_EQ(std::wstring(small.data()), L"VELTRIX");
}

}  // namespace
}  // namespace veltrix
