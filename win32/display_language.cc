#include "win32/display_language.h"

#include <windows.h>

#include <algorithm>
#include <string_view>
#include <vector>

#include "locale/language_tag.h"

namespace veltrix {

Language DisplayLanguage() {
  ULONG count = 0;
  ULONG units = 0;
  if (!::GetUserPreferredUILanguages(MUI_LANGUAGE_NAME, &count, nullptr, &units) || units == 0) {
    return Language::kEnglish;
  }
  std::vector<wchar_t> tags(units);
  if (!::GetUserPreferredUILanguages(MUI_LANGUAGE_NAME, &count, tags.data(), &units)) {
    return Language::kEnglish;
  }
  return LanguageForPreferredTags(
      std::wstring_view(tags.data(), std::min<size_t>(units, tags.size())));
}

}  // namespace veltrix
