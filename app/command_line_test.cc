#include "app/command_line.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace veltrix {
namespace {

using Arguments = std::vector<std::string>;

TEST(CommandLineArgumentsTest, SplitsAfterTheProgramName) {
  const struct {
    const wchar_t* commandLine;
    Arguments expected;
  } cases[] = {
      // Not a list holding the program name.
      {L"\"C:\\Program Files\\VELTRIX VPN\\VELTRIX VPN.exe\"", {}},
      {L"\"VELTRIX VPN.exe\" --autostart", {"--autostart"}},
      // Order and duplicates are kept; the engine gets them as they are.
      {L"app.exe b a b --autostart", {"b", "a", "b", "--autostart"}},
      {L"app.exe \"two words\" \"\" x", {"two words", "", "x"}},
      {L"app.exe \u00e9t\u00e9 \u4e2d", {"\xc3\xa9t\xc3\xa9", "\xe4\xb8\xad"}},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(CommandLineArgumentsUtf8(c.commandLine), c.expected);
  }
}

TEST(CommandLineArgumentsTest, InvalidUtf16KeepsItsPlace) {
  const wchar_t commandLine[] = {L'a', L' ', L'x', 0xD800, L' ', L'y', 0};
  EXPECT_EQ(CommandLineArgumentsUtf8(commandLine), (Arguments{"", "y"}));
}

TEST(CommandLineArgumentsTest, OwnCommandLineSkipsTheProgram) {
  // The test runner passes --gtest_brief=1 or nothing; never the program.
  for (const std::string& argument : CommandLineArgumentsUtf8()) {
    EXPECT_EQ(argument.find(".exe"), std::string::npos) << argument;
  }
}

}  // namespace
}  // namespace veltrix
