#ifndef LOCALE_LANGUAGE_H_
#define LOCALE_LANGUAGE_H_

namespace veltrix {

// The languages the host speaks. English is the one it falls back to.
enum class Language {
  kEnglish,
  kGerman,
  kFrench,
  kSpanish,
  kBrazilianPortuguese,
  kRussian,
  kJapanese,
  kSimplifiedChinese,
  // English made longer, accented and bracketed, so that a text that is
  // not translated, is cut short or is pieced together shows on the screen.
  // Windows' own pseudo-locale tag selects it: qps-ploc.
  kPseudo,
};

inline constexpr Language kAllLanguages[] = {
    Language::kEnglish,
    Language::kGerman,
    Language::kFrench,
    Language::kSpanish,
    Language::kBrazilianPortuguese,
    Language::kRussian,
    Language::kJapanese,
    Language::kSimplifiedChinese,
    Language::kPseudo,
};

}  // namespace veltrix

#endif  // LOCALE_LANGUAGE_H_
