#include "standin/ui/scenario_script.h"

#include <gtest/gtest.h>

#include <limits>
#include <utility>

namespace veltrix {
namespace {

TEST(ScenarioNumberTest, AcceptsDecimalNegativeAndHex) {
  const std::pair<const char*, int64_t> good[] = {
      {"16", 16},
      {"-1", -1},
      {"0X1d", 0x1D},
      {"0xffffffffffffffff", -1},
      {"9223372036854775807", std::numeric_limits<int64_t>::max()},
      {"-9223372036854775808", std::numeric_limits<int64_t>::min()},
  };
  for (const auto& [text, value] : good) EXPECT_EQ(ParseScenarioNumber(text), value) << text;
  for (const char* bad :
       {"9223372036854775808", "0x10000000000000000", "-0x1", "0x", "", "12a", "+1"}) {
    EXPECT_EQ(ParseScenarioNumber(bad), std::nullopt) << bad;
  }
}

TEST(ScenarioHexTest, ReadsPairsInAnyCaseWithBlanksBetweenBytes) {
  EXPECT_EQ(ParseHexBytes(" 07 0a\t6f70eE "), (std::vector<uint8_t>{0x07, 0x0A, 0x6F, 0x70, 0xEE}));
  EXPECT_EQ(ParseHexBytes(""), std::vector<uint8_t>{});
  for (const char* bad : {"0 7", "070", "0g"}) EXPECT_FALSE(ParseHexBytes(bad)) << bad;
  EXPECT_EQ(LowerHex(std::vector<uint8_t>{0x00, 0xAB, 0x7F}), "00ab7f");
}

TEST(ScenarioParseTest, ReadsEveryStepAndSkipsCommentsAndBlankLines) {
  const Scenario scenario = ParseScenario(
      "# start\r\n"
      "\n"
      "call 07 0a 69 6e 69 74 69 61 6c 69 7a 65 00\r\n"
      "frame\n"
      "  state  \n"
      "send 0x10 0 -2\n"
      "post 0x8041 0 0x400\n"
      "minimize\n"
      "pump 250\n"
      "dialog save C:\\users\\root\\Temp\\a b.txt\n"
      "dialog cancel\n"
      "menu 2\n"
      "menu dismiss\n"
      "reg Software\\Microsoft\\Windows\\CurrentVersion\\Run|VELTRIX VPN\n"
      "call");
  ASSERT_EQ(scenario.error, "");
  std::vector<StepKind> kinds;
  for (const ScenarioStep& step : scenario.steps) kinds.push_back(step.kind);
  using enum StepKind;
  ASSERT_EQ(kinds, (std::vector<StepKind>{kCall, kFrame, kState, kSend, kPost, kMinimize, kPump,
                                          kDialogSave, kDialogCancel, kMenuChoose, kMenuDismiss,
                                          kReg, kCall}));
  const std::vector<ScenarioStep>& steps = scenario.steps;
  EXPECT_EQ(steps[0].lineNumber, 3);
  EXPECT_EQ(steps[0].bytes.size(), 13u);
  EXPECT_EQ(steps[3].message, 0x10);
  EXPECT_EQ(steps[3].lparam, -2);
  EXPECT_EQ(steps[4].lparam, 0x400);
  EXPECT_EQ(steps[6].message, 250);
  EXPECT_EQ(steps[7].text, "C:\\users\\root\\Temp\\a b.txt");
  EXPECT_EQ(steps[9].message, 2);
  EXPECT_EQ(steps[11].text, "Software\\Microsoft\\Windows\\CurrentVersion\\Run");
  EXPECT_EQ(steps[11].valueName, "VELTRIX VPN");
  EXPECT_TRUE(steps[12].bytes.empty());
  EXPECT_TRUE(ParseScenario("# nothing\n\n").steps.empty());
}

TEST(ScenarioCallTest, WritesMethodAndLiteralWithTheStandardCodec) {
  const std::pair<const char*, const char*> cases[] = {
      {"call 07 04 71 75 69 74 00", "07047175697400"},
      {"call quit", "07047175697400"},
      {"call ab 1", "070261620301000000"},
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
  for (const char* bad : {"call m [1,", R"(call m {1: 2, 1: 3})", "call m {1 2}", R"(call m "\q")",
                          R"(call m "\x4")", R"(call m "a)", "call m 1 2", "call m nul",
                          "call m 9223372036854775808", "call m 1e999", "call m i64(1.5)"}) {
    EXPECT_EQ(ParseScenario(bad).error, "line 1: malformed \"call\" step") << bad;
  }
}

TEST(ScenarioParseTest, RefusesTheWholeFileOnTheFirstBadLine) {
  const struct {
    const char* text;
    const char* error;
  } cases[] = {
      {"frame\nfly away\n", "line 2: unknown step \"fly\""},
      {"frame\n\ncall quit [", "line 3: malformed \"call\" step"},
      {"send 1 2", "line 1: malformed \"send\" step"},
      {"post 1 2 3 4", "line 1: malformed \"post\" step"},
      {"pump -5", "line 1: malformed \"pump\" step"},
      {"frame now", "line 1: malformed \"frame\" step"},
      {"dialog open x", "line 1: malformed \"dialog\" step"},
      {"menu open", "line 1: malformed \"menu\" step"},
      {"reg Software\\Run", "line 1: malformed \"reg\" step"},
  };
  for (const auto& c : cases) {
    const Scenario scenario = ParseScenario(c.text);
    EXPECT_EQ(scenario.error, c.error) << c.text;
    EXPECT_TRUE(scenario.steps.empty()) << c.text;
  }
}

TEST(MenuItemsLineTest, JoinsEntriesInOrder) {
  EXPECT_EQ(MenuItemsLine({{1, 0, "Open VELTRIX VPN"},
                           {2, kMenuEntryDisabled, "Connect"},
                           {0, kMenuEntrySeparator, ""}}),
            "menu-items 1,0,Open VELTRIX VPN|2,1,Connect|0,2048,");
}

}  // namespace
}  // namespace veltrix
