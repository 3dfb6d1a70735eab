#include "locale/language_tag.h"

#include <gtest/gtest.h>

#include <string>
#include <utility>

namespace veltrix {
namespace {

using std::literals::operator""sv;

TEST(LanguageTagTest, TheChannelTakesLettersDigitsAndHyphensUpTo35) {
  const std::pair<std::string, bool> cases[] = {
      {"de", true},         {"zh-Hant-TW", true},
      {"es-419", true},     {"AZaz09-" + std::string(28, 'x'), true},
      {"", false},          {std::string(36, 'a'), false},
      {"de_DE", false},     {"de DE", false},
      {"d\xC3\xA9", false}, {std::string("de\0", 3), false},
  };
  for (const auto& [tag, valid] : cases) EXPECT_EQ(IsLanguageTag(tag), valid) << tag;
}

TEST(LanguageTagTest, ATagTakesItsOwnTranslationOrItsParentsElseEnglish) {
  const std::pair<std::string_view, Language> cases[] = {
      {"de", Language::kGerman},
      {"DE-at", Language::kGerman},
      {"fr-CA", Language::kFrench},
      {"es-419", Language::kSpanish},
      {"pt-BR", Language::kBrazilianPortuguese},
      {"pt", Language::kBrazilianPortuguese},
      {"pt-PT", Language::kBrazilianPortuguese},
      {"ru-RU", Language::kRussian},
      {"ja-JP", Language::kJapanese},
      {"zh", Language::kSimplifiedChinese},
      {"zh-CN", Language::kSimplifiedChinese},
      {"zh-SG", Language::kSimplifiedChinese},
      {"zh-Hans-HK", Language::kSimplifiedChinese},
      {"zh-TW", Language::kEnglish},
      {"zh-hk", Language::kEnglish},
      {"zh-MO", Language::kEnglish},
      {"zh-Hant-CN", Language::kEnglish},
      {"qps-ploc", Language::kPseudo},
      {"qps-plocm", Language::kEnglish},
      {"en-GB", Language::kEnglish},
      {"nl-NL", Language::kEnglish},
      {"d", Language::kEnglish},
      {"-de", Language::kEnglish},
  };
  for (const auto& [tag, language] : cases) EXPECT_EQ(LanguageForTag(tag), language) << tag;
}

// Windows lists the display languages the user prefers, best first.
TEST(LanguageTagTest, TheFirstPreferredLanguageWithATranslationWins) {
  const std::pair<std::wstring_view, Language> cases[] = {
      {L"zh-TW\0nl-NL\0de-AT\0fr-FR\0\0"sv, Language::kGerman},
      {L"en-US\0de-DE\0\0"sv, Language::kEnglish},
      {L"nl-NL\0\0ja-JP\0\0"sv, Language::kEnglish},
      {L"\u00E9s\0ja\0"sv, Language::kJapanese},
      {L""sv, Language::kEnglish},
  };
  for (const auto& [tags, language] : cases) EXPECT_EQ(LanguageForPreferredTags(tags), language);
}

}  // namespace
}  // namespace veltrix
