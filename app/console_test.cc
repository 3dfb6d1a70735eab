#include "app/console.h"

#include <gtest/gtest.h>

namespace veltrix {
namespace {

// A start with one stream redirected still writes the other to the console.
TEST(ConsoleTest, NeededForAnyStreamNotSentElsewhere) {
  EXPECT_TRUE(NeedsConsole(false, false) && NeedsConsole(true, false) && NeedsConsole(false, true));
  EXPECT_FALSE(NeedsConsole(true, true));
}

}  // namespace
}  // namespace veltrix
