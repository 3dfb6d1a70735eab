#include "locale/language_tag.h"

#include <algorithm>
#include <string>

namespace veltrix {
namespace {

constexpr size_t kMaxTagLength = 35;

struct TagRule {
  std::string_view tag;  // lower case
  std::optional<Language> language;
};

constexpr TagRule kTagRules[] = {
    {"en", Language::kEnglish},
    {"de", Language::kGerman},
    {"fr", Language::kFrench},
    {"es", Language::kSpanish},
    // Portuguese without a region is Brazilian, and Brazilian Portuguese
    // reads better in Portugal than English does.
    {"pt", Language::kBrazilianPortuguese},
    {"ru", Language::kRussian},
    {"ja", Language::kJapanese},
    // Chinese without a script or region is written in simplified
    // characters, as in zh-CN and zh-SG; a script beats a region.
    {"zh", Language::kSimplifiedChinese},
    {"zh-hans", Language::kSimplifiedChinese},
    {"zh-hant", std::nullopt},
    {"zh-tw", std::nullopt},
    {"zh-hk", std::nullopt},
    {"zh-mo", std::nullopt},
    {"qps-ploc", Language::kPseudo},
};

bool IsAsciiLetterOrDigit(char c) {
  return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9');
}

std::string AsciiLower(std::string_view text) {
  std::string lower(text);
  for (char& c : lower) {
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
  }
  return lower;
}

}  // namespace

bool IsLanguageTag(std::string_view tag) {
  if (tag.empty() || tag.size() > kMaxTagLength) return false;
  for (char c : tag) {
    if (!IsAsciiLetterOrDigit(c) && c != '-') return false;
  }
  return true;
}

std::optional<Language> FindLanguage(std::string_view tag) {
  std::string candidate = AsciiLower(tag);
  while (!candidate.empty()) {
    for (const TagRule& rule : kTagRules) {
      if (rule.tag == candidate) return rule.language;
    }
    const size_t hyphen = candidate.rfind('-');
    candidate.resize(hyphen == std::string::npos ? 0 : hyphen);
  }
  return std::nullopt;
}

Language LanguageForTag(std::string_view tag) {
  return FindLanguage(tag).value_or(Language::kEnglish);
}

Language LanguageForPreferredTags(std::wstring_view tags) {
  while (!tags.empty() && tags.front() != L'\0') {
    const size_t end = std::min(tags.find(L'\0'), tags.size());
    // Tags are ASCII; any other unit leaves a tag that matches nothing.
    std::string tag;
    for (wchar_t unit : tags.substr(0, end)) tag += unit < 0x80 ? static_cast<char>(unit) : '?';
    if (const std::optional<Language> language = FindLanguage(tag)) return *language;
    tags.remove_prefix(std::min(end + 1, tags.size()));
  }
  return Language::kEnglish;
}

}  // namespace veltrix
