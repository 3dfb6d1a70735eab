// The tables of the translated languages, one file each; the pseudo-language
// is made from English.
#ifndef LOCALE_TRANSLATIONS_H_
#define LOCALE_TRANSLATIONS_H_

#include "locale/host_texts.h"

namespace veltrix {

extern const HostTexts kEnglishTexts;
extern const HostTexts kGermanTexts;
extern const HostTexts kFrenchTexts;
extern const HostTexts kSpanishTexts;
extern const HostTexts kBrazilianPortugueseTexts;
extern const HostTexts kRussianTexts;
extern const HostTexts kJapaneseTexts;
extern const HostTexts kSimplifiedChineseTexts;

}  // namespace veltrix

#endif  // LOCALE_TRANSLATIONS_H_
