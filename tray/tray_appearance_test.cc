#include "tray/tray_appearance.h"

#include <gtest/gtest.h>

#include <array>
#include <string>
#include <string_view>
#include <utility>

namespace veltrix {
namespace {

TEST(TrayAppearanceTest, SmallIconFollowsTheDpi) {
  const std::pair<uint32_t, int> cases[] = {{96, 16}, {120, 20}, {144, 24}, {168, 28}, {0, 16}};
  for (const auto& [dpi, size] : cases) EXPECT_EQ(SmallIconSize(dpi), size) << dpi;
}

// A text too long for the field is cut between characters, never left
// unterminated.
TEST(TrayAppearanceTest, TooLongATipIsCutBetweenCharactersAndTerminated) {
  const std::pair<std::wstring_view, std::wstring_view> cases[] = {
      {L"VELTRIX VPN", L"VELTRIX"},
      {L"VELTRI\xD800\xDC00", L"VELTRI"},
      {L"VELTRI\xDBFF\xDFFF", L"VELTRI"},
      {L"VELTR\xD83D\xDD12 VPN", L"VELTR\xD83D\xDD12"},
  };
  for (const auto& [text, cut] : cases) {
    std::array<wchar_t, 8> small;
    CopyTrayTip(text, small);
    EXPECT_EQ(std::wstring_view(small.data()), cut);
  }
}

// In every language, each state's tooltip and each balloon fit the shell's
// fields whole.
TEST(TrayAppearanceTest, EveryTextOfTheIconFitsWhole) {
  for (const Language language : kAllLanguages) {
    const HostTexts& texts = TextsFor(language);
    for (const TrayBalloon balloon : {TrayBalloon::kStillRunning, TrayBalloon::kConnectionLost}) {
      EXPECT_LT(BalloonFor(texts, balloon).title.size(), kBalloonTitleCapacity);
      EXPECT_LT(BalloonFor(texts, balloon).text.size(), kBalloonTextCapacity);
    }
    for (int state = 0; state < 6; ++state) {
      const auto connection = static_cast<ConnectionState>(state);
      std::array<wchar_t, kTrayTipCapacity> tip;
      FormatTrayTooltip(texts, connection, tip);
      EXPECT_EQ(tip.data(), FillPlaceholder(texts.tooltip, ConnectionLabel(texts, connection)));
    }
  }
  std::array<wchar_t, kTrayTipCapacity> tip;
  FormatTrayTooltip(TextsFor(Language::kEnglish), ConnectionState::Error, tip);
  EXPECT_EQ(std::wstring_view(tip.data()), L"VELTRIX VPN - Connection error");
}

}  // namespace
}  // namespace veltrix
