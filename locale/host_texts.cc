#include "locale/host_texts.h"

#include "locale/pseudo_language.h"
#include "locale/translations.h"

namespace veltrix {

const HostTexts& TextsFor(Language language) {
  switch (language) {
    case Language::kEnglish:
      break;
    case Language::kGerman:
      return kGermanTexts;
    case Language::kFrench:
      return kFrenchTexts;
    case Language::kSpanish:
      return kSpanishTexts;
    case Language::kBrazilianPortuguese:
      return kBrazilianPortugueseTexts;
    case Language::kRussian:
      return kRussianTexts;
    case Language::kJapanese:
      return kJapaneseTexts;
    case Language::kSimplifiedChinese:
      return kSimplifiedChineseTexts;
    case Language::kPseudo:
      return PseudoTexts();
  }
  return kEnglishTexts;
}

std::wstring_view ConnectionLabel(const HostTexts& texts, ConnectionState state) {
  switch (state) {
    case ConnectionState::Disconnected:
      break;
    case ConnectionState::Connecting:
      return texts.connecting;
    case ConnectionState::Connected:
      return texts.connected;
    case ConnectionState::Reconnecting:
      return texts.reconnecting;
    case ConnectionState::Disconnecting:
      return texts.disconnecting;
    case ConnectionState::Error:
      return texts.connectionError;
  }
  return texts.disconnected;
}

std::wstring FillPlaceholder(std::wstring_view text, std::wstring_view value) {
  constexpr std::wstring_view kPlaceholder = L"%1";
  std::wstring filled;
  for (size_t at = text.find(kPlaceholder); at != std::wstring_view::npos;
       at = text.find(kPlaceholder)) {
    filled.append(text.substr(0, at)).append(value);
    text.remove_prefix(at + kPlaceholder.size());
  }
  return filled.append(text);
}

}  // namespace veltrix
