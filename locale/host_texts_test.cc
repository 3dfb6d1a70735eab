#include "locale/host_texts.h"

#include <gtest/gtest.h>

#include "locale/pseudo_language.h"

namespace veltrix {
namespace {

// A translation without a text, or without a placeholder or a name its
// English has, shows the user a gap, a sentence with a hole or a product
// renamed. Windows reads each text up to its zero.
TEST(HostTextsTest, EveryLanguageHasEveryTextWithItsPlaceholdersAndNames) {
  const HostTexts& english = TextsFor(Language::kEnglish);
  for (const Language language : kAllLanguages) {
    for (size_t i = 0; i < std::size(kAllHostTexts); ++i) {
      const std::wstring_view text = TextsFor(language).*kAllHostTexts[i];
      const std::wstring_view source = english.*kAllHostTexts[i];
      SCOPED_TRACE(testing::Message() << "language " << int(language) << ", text " << i);
      EXPECT_FALSE(text.empty());
      EXPECT_EQ(text.data()[text.size()], L'\0');
      for (const std::wstring_view kept : {L"%1", L"VELTRIX", L"VPN", L"*.txt"}) {
        EXPECT_TRUE(source.find(kept) == source.npos || text.find(kept) != text.npos);
      }
    }
  }
  // The source's encoding read right by both compilers.
  EXPECT_EQ(TextsFor(Language::kGerman).trayOpen, L"VELTRIX VPN \u00F6ffnen");
}

// Accented, padded by about 40 % and bracketed; names kept, made from English.
TEST(HostTextsTest, ThePseudoLanguageAccentsPadsAndBracketsButKeepsNames) {
  EXPECT_EQ(Pseudolocalize(L"A za AZ"), L"[\u00C5 \u017E\u00E5 AZ \u00B7\u00B7\u00B7]");
  EXPECT_EQ(TextsFor(Language::kPseudo).trayOpen,
            L"[\u014E\u01A5\u0113\u00F1 VELTRIX VPN \u00B7\u00B7\u00B7\u00B7\u00B7\u00B7\u00B7]");
}

}  // namespace
}  // namespace veltrix
