// The scenario language at its edges; the end-to-end suite uses every step
// and the plain forms of calls, answers and replies.
#include "standin/ui/scenario_script.h"

#include <gtest/gtest.h>

#include <limits>
#include <utility>

namespace veltrix {
namespace {

TEST(ScenarioScriptTest, NumbersAreDecimalOrHexOf64Bits) {
  EXPECT_EQ(ParseScenarioNumber("-9223372036854775808"), std::numeric_limits<int64_t>::min());
  EXPECT_EQ(ParseScenarioNumber("0xffffffffffffffff"), -1);
  for (const char* bad : {"9223372036854775808", "0x10000000000000000", "-0x1", "0x", "12a"}) {
    EXPECT_EQ(ParseScenarioNumber(bad), std::nullopt) << bad;
  }
  EXPECT_EQ(ParseScenario("tray context-menu -2 300").steps.at(0).wparam, 0x012cfffe);
}

TEST(ScenarioScriptTest, CallsAreHexOrMethodAndLiteral) {
  const std::pair<const char*, const char*> cases[] = {
      {"call m [null, true, false]", "07016d0c03000102"},
      {"call m [-2147483648, 2147483648, i64(-1)]",
       "07016d0c03030000008004000000800000000004ffffffffffffffff"},
      {"call m 1.5", "07016d0600000000000000000000f83f"},
      {R"(call m "\\\"\n\t\0\xffé")", "07016d07085c220a0900ffc3a9"},
      {R"(call m { "b" :1,"a":{}, 2 : [] })", "07016d0d0303020000000c000701610d000701620301000000"},
  };
  for (const auto& [line, hex] : cases) {
    const Scenario scenario = ParseScenario(line);
    ASSERT_EQ(scenario.steps.size(), 1u) << line << ": " << scenario.error;
    EXPECT_EQ(LowerHex(scenario.steps[0].bytes), hex) << line;
  }
  for (const char* bad : {"call m [1,", R"(call m {1: 2, 1: 3})", R"(call m "\x4")", "call m 1 2",
                          "call m 9223372036854775808", "call m i64(1.5)"}) {
    EXPECT_EQ(ParseScenario(bad).error, "line 1: malformed \"call\" step") << bad;
  }
}

// The transcript writes what was received as a "call" step would say it.
TEST(ScenarioScriptTest, TranscriptWordsReadBackAsTheSameBytes) {
  for (const char* words : {"m [true, false, -2147483648, i64(2), i64(-1), -0.0, 1e+300]",
                            R"(m {1.5: {}, "\\\"\n\t\0\x01\x7fé\xff": [[]]})"}) {
    const Scenario scenario = ParseScenario(std::string("call ") + words);
    ASSERT_EQ(scenario.steps.size(), 1u) << words << ": " << scenario.error;
    EXPECT_EQ(CallWords(scenario.steps[0].bytes.data(), scenario.steps[0].bytes.size()), words);
  }
  // Left over, cut short, a typed list, a code not a string, a large integer.
  for (const char* hex : {"000000", "000301", "00080101", "0100000000", "00050131"}) {
    const std::vector<uint8_t> bytes = *ParseHexBytes(hex);
    EXPECT_EQ(ReplyWords(bytes.data(), bytes.size()), std::string("bytes ") + hex);
  }
  EXPECT_EQ(CallWords(nullptr, 0), "empty");
  const uint8_t hexName[] = {0x07, 0x02, 'a', 'b', 0x00};  // "call ab" would be bytes
  EXPECT_EQ(CallWords(hexName, sizeof(hexName)), "bytes 0702616200");
}

TEST(ScenarioScriptTest, RefusesTheWholeFileOnTheFirstBadLine) {
  const std::pair<const char*, const char*> cases[] = {
      {"frame\n# note\r\nfly away\n", "line 3: unknown step \"fly\""},
      {"send 1 2", "line 1: malformed \"send\" step"},
      {"reg Software\\Run", "line 1: malformed \"reg\" step"},
      {"answer nothing", "line 1: malformed \"answer\" step"},
      {"tray context-menu 0 32768", "line 1: malformed \"tray\" step"},
  };
  for (const auto& [text, error] : cases) {
    const Scenario scenario = ParseScenario(text);
    EXPECT_EQ(scenario.error, error) << text;
    EXPECT_TRUE(scenario.steps.empty()) << text;
  }
}

}  // namespace
}  // namespace veltrix
