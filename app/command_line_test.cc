// The end-to-end suite passes order, duplicates, spaces and empty
// arguments through the real program; these reach the conversion's edges.
#include "app/command_line.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace veltrix {
namespace {

TEST(CommandLineArgumentsTest, ConvertsEachArgumentAfterTheProgramName) {
  using Arguments = std::vector<std::string>;
  EXPECT_EQ(CommandLineArgumentsUtf8(L"\"C:\\Program Files\\VELTRIX VPN\\VELTRIX VPN.exe\""),
            Arguments{});
  EXPECT_EQ(CommandLineArgumentsUtf8(L"app.exe \u00e9t\u00e9 \u4e2d"),
            (Arguments{"\xc3\xa9t\xc3\xa9", "\xe4\xb8\xad"}));
  // Invalid UTF-16 keeps its place as an empty argument.
  EXPECT_EQ(CommandLineArgumentsUtf8(L"a x\xD800 y"), (Arguments{"", "y"}));
}

TEST(CommandLineArgumentsTest, RestartGetsTheArgumentsAsWritten) {
  EXPECT_EQ(ArgumentsAfterProgram(L"\"C:\\VELTRIX VPN\\VELTRIX VPN.exe\"  --autostart \"a b\""),
            L"--autostart \"a b\"");
  EXPECT_EQ(ArgumentsAfterProgram(L"app.exe\t--autostart"), L"--autostart");
  EXPECT_EQ(ArgumentsAfterProgram(L"\"app.exe\""), L"");
}

}  // namespace
}  // namespace veltrix
