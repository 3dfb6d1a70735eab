#include "win32/wide_to_utf8.h"

#include <gtest/gtest.h>

#include <string>

namespace veltrix {
namespace {

// The conversion's edges; the command line and the diagnostics save convert
// ordinary text, emoji included, in their own tests.
TEST(WideToUtf8, InvalidOrTooLongInputStopsOrGivesEmpty) {
  for (const wchar_t* invalid : {L"a\xD83D", L"\xDE00z", L"\xDE00\xD83D"}) {
    EXPECT_EQ(WideToUtf8(invalid), "");
  }
  EXPECT_EQ(WideToUtf8(nullptr), "");
  // A bad unit beyond the limit is never looked at.
  std::wstring tailBad(32767, L'y');
  tailBad += L'\xD800';
  EXPECT_EQ(WideToUtf8(tailBad.c_str()), std::string(32767, 'y'));
}

}  // namespace
}  // namespace veltrix
