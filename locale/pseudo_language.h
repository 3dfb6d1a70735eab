#ifndef LOCALE_PSEUDO_LANGUAGE_H_
#define LOCALE_PSEUDO_LANGUAGE_H_

#include <string>
#include <string_view>

#include "locale/host_texts.h"

namespace veltrix {

// `english` in the pseudo-language: each letter accented, then padded with
// dots to about 40 % more and bracketed, "[Ŏƥēñ VELTRIX VPN ······]". A
// screen that shows a text without its brackets has cut it or built it from
// pieces; one without accents shows a text that is not translated. Words in
// capitals (VELTRIX, VPN) are names and stay, and so do file extensions
// (*.txt) and placeholders.
std::wstring Pseudolocalize(std::wstring_view english);

// The whole table, made from English once.
const HostTexts& PseudoTexts();

}  // namespace veltrix

#endif  // LOCALE_PSEUDO_LANGUAGE_H_
