#ifndef LOCALE_LANGUAGE_TAG_H_
#define LOCALE_LANGUAGE_TAG_H_

#include <optional>
#include <string_view>

#include "locale/language.h"

namespace veltrix {

// The form a language tag from the user interface must have before it is
// looked at: 1 to 35 ASCII letters, digits and hyphens.
bool IsLanguageTag(std::string_view tag);

// The translation for a BCP 47 tag, matched without regard to case; a tag
// without one of its own takes its parent's, subtags stripped from the
// right (de-AT is German). Traditional Chinese (zh-Hant, and zh-TW, zh-HK,
// zh-MO without a script) stops the search: Simplified Chinese is no
// translation for its readers. None when nothing matches.
std::optional<Language> FindLanguage(std::string_view tag);

// FindLanguage, English when there is no translation.
Language LanguageForTag(std::string_view tag);

// The first of the user's preferred tags that has a translation, else
// English. `tags` is in Windows' multi-string form: each tag ends with a
// zero, and an empty tag ends the list ("de-AT\0en-US\0\0").
Language LanguageForPreferredTags(std::wstring_view tags);

}  // namespace veltrix

#endif  // LOCALE_LANGUAGE_TAG_H_
