#include "standin/ui/scenario_script.h"

#include <gtest/gtest.h>

#include <limits>

#include "standin/ui/demo_connection.h"

namespace veltrix {
namespace {

TEST(ScenarioNumberTest, AcceptsDecimalNegativeAndHex) {
  struct Case {
    const char* text;
    std::optional<int64_t> value;
  } cases[] = {
      {"0", 0},
      {"16", 16},
      {"-1", -1},
      {"0x10", 16},
      {"0X1d", 0x1D},
      {"0x8041", 0x8041},
      {"0xffffffffffffffff", -1},
      {"9223372036854775807", std::numeric_limits<int64_t>::max()},
      {"-9223372036854775808", std::numeric_limits<int64_t>::min()},
      {"9223372036854775808", std::nullopt},
      {"0x10000000000000000", std::nullopt},
      {"-0x1", std::nullopt},
      {"0x", std::nullopt},
      {"", std::nullopt},
      {"-", std::nullopt},
      {"12a", std::nullopt},
      {"+1", std::nullopt},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(ParseScenarioNumber(c.text), c.value) << c.text;
  }
}

TEST(ScenarioHexTest, ReadsPairsInAnyCaseWithBlanksBetweenBytes) {
  EXPECT_EQ(ParseHexBytes("07046F70656e00"),
            (std::vector<uint8_t>{0x07, 0x04, 0x6F, 0x70, 0x65, 0x6E, 0x00}));
  EXPECT_EQ(ParseHexBytes(" 07 04\t6f70 "), (std::vector<uint8_t>{0x07, 0x04, 0x6F, 0x70}));
  EXPECT_EQ(ParseHexBytes(""), std::vector<uint8_t>{});
  EXPECT_FALSE(ParseHexBytes("0 7").has_value());  // a blank inside a byte
  EXPECT_FALSE(ParseHexBytes("070").has_value());
  EXPECT_FALSE(ParseHexBytes("0g").has_value());
  EXPECT_EQ(LowerHex(std::vector<uint8_t>{0x00, 0xAB, 0x7F}), "00ab7f");
}

TEST(ScenarioParseTest, ReadsEveryStepAndSkipsCommentsAndBlankLines) {
  Scenario scenario = ParseScenario(
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
  const std::vector<ScenarioStep>& steps = scenario.steps;
  ASSERT_EQ(steps.size(), 13u);
  EXPECT_EQ(steps[0].kind, StepKind::kCall);
  EXPECT_EQ(steps[0].lineNumber, 3);
  EXPECT_EQ(steps[0].bytes.size(), 13u);
  EXPECT_EQ(steps[1].kind, StepKind::kFrame);
  EXPECT_EQ(steps[2].kind, StepKind::kState);
  EXPECT_EQ(steps[3].kind, StepKind::kSend);
  EXPECT_EQ(steps[3].message, 0x10);
  EXPECT_EQ(steps[3].lparam, -2);
  EXPECT_EQ(steps[4].kind, StepKind::kPost);
  EXPECT_EQ(steps[4].lparam, 0x400);
  EXPECT_EQ(steps[5].kind, StepKind::kMinimize);
  EXPECT_EQ(steps[6].kind, StepKind::kPump);
  EXPECT_EQ(steps[6].message, 250);
  EXPECT_EQ(steps[7].kind, StepKind::kDialogSave);
  EXPECT_EQ(steps[7].text, "C:\\users\\root\\Temp\\a b.txt");
  EXPECT_EQ(steps[8].kind, StepKind::kDialogCancel);
  EXPECT_EQ(steps[9].kind, StepKind::kMenuChoose);
  EXPECT_EQ(steps[9].message, 2);
  EXPECT_EQ(steps[10].kind, StepKind::kMenuDismiss);
  EXPECT_EQ(steps[11].kind, StepKind::kReg);
  EXPECT_EQ(steps[11].text, "Software\\Microsoft\\Windows\\CurrentVersion\\Run");
  EXPECT_EQ(steps[11].valueName, "VELTRIX VPN");
  EXPECT_EQ(steps[12].kind, StepKind::kCall);  // an empty message
  EXPECT_TRUE(steps[12].bytes.empty());
}

TEST(ScenarioParseTest, RefusesTheWholeFileOnTheFirstBadLine) {
  struct Case {
    const char* text;
    const char* error;
  } cases[] = {
      {"frame\nfly away\n", "line 2: unknown step \"fly\""},
      {"call 0", "line 1: malformed \"call\" step"},
      {"send 1 2", "line 1: malformed \"send\" step"},
      {"post 1 2 3 4", "line 1: malformed \"post\" step"},
      {"pump -5", "line 1: malformed \"pump\" step"},
      {"frame now", "line 1: malformed \"frame\" step"},
      {"dialog save", "line 1: malformed \"dialog\" step"},
      {"dialog open x", "line 1: malformed \"dialog\" step"},
      {"menu open", "line 1: malformed \"menu\" step"},
      {"reg Software\\Run", "line 1: malformed \"reg\" step"},
      {"reg |value", "line 1: malformed \"reg\" step"},
  };
  for (const Case& c : cases) {
    Scenario scenario = ParseScenario(c.text);
    EXPECT_EQ(scenario.error, c.error) << c.text;
    EXPECT_TRUE(scenario.steps.empty()) << c.text;
  }
}

TEST(ScenarioParseTest, EmptyFileHasNoSteps) {
  Scenario scenario = ParseScenario("# nothing\n\n");
  EXPECT_EQ(scenario.error, "");
  EXPECT_TRUE(scenario.steps.empty());
}

TEST(MenuItemsLineTest, JoinsEntriesInOrder) {
  EXPECT_EQ(MenuItemsLine({{1, 0, "Open VELTRIX VPN"},
                           {2, kMenuEntryDisabled, "Connect"},
                           {0, kMenuEntrySeparator, ""},
                           {3, 0, "Quit"}}),
            "menu-items 1,0,Open VELTRIX VPN|2,1,Connect|0,2048,|3,0,Quit");
  EXPECT_EQ(MenuItemsLine({}), "menu-items ");
}

TEST(DemoConnectionTest, PassesThroughConnectingAndDisconnecting) {
  DemoConnection connection;
  EXPECT_EQ(connection.state(), "disconnected");
  EXPECT_FALSE(connection.Advance());

  EXPECT_EQ(connection.Toggle(), DemoConnection::kConnectingMs);
  EXPECT_EQ(connection.state(), "connecting");
  EXPECT_TRUE(connection.InTransition());
  EXPECT_TRUE(connection.Advance());
  EXPECT_EQ(connection.state(), "connected");

  EXPECT_EQ(connection.Toggle(), DemoConnection::kDisconnectingMs);
  EXPECT_EQ(connection.state(), "disconnecting");
  EXPECT_EQ(connection.Toggle(), 0u);  // no change of mind half-way out
  EXPECT_TRUE(connection.Advance());
  EXPECT_EQ(connection.state(), "disconnected");
}

TEST(DemoConnectionTest, ToggleWhileConnectingCancels) {
  DemoConnection connection;
  connection.Toggle();
  EXPECT_EQ(connection.Toggle(), DemoConnection::kDisconnectingMs);
  EXPECT_EQ(connection.state(), "disconnecting");
}

}  // namespace
}  // namespace veltrix
