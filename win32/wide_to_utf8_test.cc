#include "win32/wide_to_utf8.h"

#include <gtest/gtest.h>

#include <string>

namespace veltrix {
namespace {

TEST(WideToUtf8, ConvertsOrGivesEmpty) {
  const struct {
    const char* name;
    const wchar_t* input;
    std::string expected;
  } cases[] = {
      {"null", nullptr, ""},
      {"empty", L"", ""},
      {"ascii", L"C:\\a.txt", "C:\\a.txt"},
      {"two byte", L"\u00e9", "\xC3\xA9"},
      {"three byte", L"\u20ac", "\xE2\x82\xAC"},
      {"surrogate pair", L"\xD83D\xDE00", "\xF0\x9F\x98\x80"},
      {"lone high surrogate", L"a\xD83D", ""},
      {"lone low surrogate", L"\xDE00z", ""},
      {"reversed pair", L"\xDE00\xD83D", ""},
  };
  for (const auto& c : cases) EXPECT_EQ(WideToUtf8(c.input), c.expected) << c.name;
}

TEST(WideToUtf8, StopsAt32767Units) {
  // A bad unit beyond the limit is never looked at.
  std::wstring tailBad(32767, L'y');
  tailBad += L'\xD800';
  EXPECT_EQ(WideToUtf8(tailBad.c_str()), std::string(32767, 'y'));
}

}  // namespace
}  // namespace veltrix
