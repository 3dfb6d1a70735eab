#include "base/utf.h"

#include <gtest/gtest.h>

namespace veltrix {
namespace {

TEST(Utf, RoundTripsEveryLengthOfSequence) {
  // a, U+0080, U+07FF, é, U+0800, €, U+1000, あ, 가, U+D7FF, U+FFFF, 😀, U+40000,
  // U+10FFFF: each length at its edges, and three-byte leads odd and even.
  const std::string text =
      "a\xC2\x80\xDF\xBF\xC3\xA9\xE0\xA0\x80\xE2\x82\xAC\xE1\x80\x80\xE3\x81\x82\xEA\xB0\x80"
      "\xED\x9F\xBF\xEF\xBF\xBF\xF0\x9F\x98\x80\xF1\x80\x80\x80\xF4\x8F\xBF\xBF";
  const auto wide = Utf8ToUtf16(text);
  ASSERT_TRUE(wide);
  EXPECT_EQ(*wide, (std::wstring{L'a', L'\x80', L'\x7FF', L'\xE9', L'\x800', L'\x20AC', L'\x1000',
                                 L'\x3042', L'\xAC00', L'\xD7FF', L'\xFFFF', wchar_t(0xD83D),
                                 wchar_t(0xDE00), wchar_t(0xD8C0), wchar_t(0xDC00), wchar_t(0xDBFF),
                                 wchar_t(0xDFFF)}));
  EXPECT_EQ(Utf16ToUtf8(*wide), text);
}

TEST(Utf, RefusesMalformedInput) {
  for (const char* bad : {"\x80", "\xC0\xAF", "\xE0\x80\xAF", "\xED\xA0\x80", "\xED\xBF\xBF",
                          "\xF4\x90\x80\x80", "\xF0\x9F\x98", "\xC3(", "\xFF"}) {
    EXPECT_FALSE(Utf8ToUtf16(bad)) << bad;
  }
  for (const std::wstring& bad :
       {std::wstring{L'a', wchar_t(0xD83D)}, std::wstring{wchar_t(0xDFFF), L'z'}}) {
    EXPECT_FALSE(Utf16ToUtf8(bad));
  }
}

}  // namespace
}  // namespace veltrix
