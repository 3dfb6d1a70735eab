#include "win32/wide_to_utf8.h"

#include <gtest/gtest.h>

#include <string>

namespace veltrix {
namespace {

struct Conversion {
  const char* name;
  std::wstring input;
  std::string expected;
};

TEST(WideToUtf8, ConvertsOrGivesEmpty) {
  const Conversion cases[] = {
      {"ascii", L"C:\\a.txt", "C:\\a.txt"},
      {"empty", L"", ""},
      {"two byte", L"\u00e9", "\xC3\xA9"},
      {"three byte", L"\u20ac", "\xE2\x82\xAC"},
      {"surrogate pair", L"\xD83D\xDE00", "\xF0\x9F\x98\x80"},
      {"lone high surrogate", L"a\xD83D", ""},
      {"lone low surrogate", L"\xDE00z", ""},
      {"reversed pair", L"\xDE00\xD83D", ""},
  };
  for (const Conversion& c : cases) {
    EXPECT_EQ(WideToUtf8(c.input.c_str()), c.expected) << c.name;
  }
}

TEST(WideToUtf8, NullGivesEmpty) { EXPECT_EQ(WideToUtf8(nullptr), ""); }

TEST(WideToUtf8, StopsAt32767Units) {
  const std::wstring longText(40000, L'x');
  EXPECT_EQ(WideToUtf8(longText.c_str()), std::string(32767, 'x'));
  // A bad unit beyond the limit is never looked at.
  std::wstring tailBad(32767, L'y');
  tailBad += L'\xD800';
  EXPECT_EQ(WideToUtf8(tailBad.c_str()), std::string(32767, 'y'));
}

}  // namespace
}  // namespace veltrix
