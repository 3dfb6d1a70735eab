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
      {L"\"C:\\Program Files\\VELTRIX VPN\\VELTRIX VPN.exe\"", {}},
      {L"\"VELTRIX VPN.exe\" --autostart", {"--autostart"}},
      // Order and duplicates are kept; the engine gets them as they are.
      {L"app.exe b a b --autostart", {"b", "a", "b", "--autostart"}},
      {L"app.exe \"two words\" \"\" x", {"two words", "", "x"}},
      {L"app.exe \u00e9t\u00e9 \u4e2d", {"\xc3\xa9t\xc3\xa9", "\xe4\xb8\xad"}},
      {L"a x\xD800 y", {"", "y"}},  // invalid UTF-16 keeps its place
  };
  for (const auto& c : cases) EXPECT_EQ(CommandLineArgumentsUtf8(c.commandLine), c.expected);
}

TEST(CommandLineArgumentsTest, OwnCommandLineSkipsTheProgram) {
  for (const std::string& argument : CommandLineArgumentsUtf8()) {
    EXPECT_EQ(argument.find(".exe"), std::string::npos) << argument;
  }
}

}  // namespace
}  // namespace veltrix
