#ifndef BASE_UTF_H_
#define BASE_UTF_H_

#include <optional>
#include <string>
#include <string_view>

namespace veltrix {

// Conversions between the channel's UTF-8 and the UTF-16 of Windows' wide
// strings (one UTF-16 unit per wchar_t).

// Null when `text` is not well-formed UTF-8 (overlong forms, surrogates,
// code points past U+10FFFF, cut sequences).
std::optional<std::wstring> Utf8ToUtf16(std::string_view text);

// Null when `text` holds a lone surrogate.
std::optional<std::string> Utf16ToUtf8(std::wstring_view text);

// The first UTF-16 unit of a character outside the Basic Multilingual Plane;
// a text cut right after it has half a character.
constexpr bool IsHighSurrogate(char32_t unit) { return unit >= 0xD800 && unit <= 0xDBFF; }

}  // namespace veltrix

#endif  // BASE_UTF_H_
