#include "base/hex.h"

#include <gtest/gtest.h>

#include <string>

namespace veltrix {
namespace {

TEST(Hex, AcceptsExactlyTheDigitsAskedForInLowerCase) {
  EXPECT_TRUE(IsLowerHex(std::string(32, '0') + std::string(32, 'f'), 64));
  for (const std::string& text : {std::string(63, 'a'), std::string(65, 'a')}) {
    EXPECT_FALSE(IsLowerHex(text, 64)) << text.size();
  }
  // Just outside 0-9 and a-f, upper case, and a zero byte.
  for (char c : std::string("/:`gA \0", 7)) {
    EXPECT_FALSE(IsLowerHex(std::string(63, 'a') + c, 64)) << c;
  }
}

}  // namespace
}  // namespace veltrix
