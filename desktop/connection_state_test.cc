#include "desktop/connection_state.h"

#include <gtest/gtest.h>

#include <string>
#include <string_view>

namespace veltrix {
namespace {

struct StateRow {
  ConnectionState state;
  std::string_view name;
  std::wstring_view label;
  bool active;
  bool inTransition;
};

constexpr StateRow kRows[] = {
    {ConnectionState::Disconnected, "disconnected", L"Disconnected", false, false},
    {ConnectionState::Connecting, "connecting", L"Connecting", true, true},
    {ConnectionState::Connected, "connected", L"Connected", true, false},
    {ConnectionState::Reconnecting, "reconnecting", L"Reconnecting", true, true},
    {ConnectionState::Disconnecting, "disconnecting", L"Disconnecting", false, true},
    {ConnectionState::Error, "error", L"Connection error", false, false},
};

TEST(ConnectionStateTest, EveryStateByItsChannelName) {
  for (const StateRow& row : kRows) {
    SCOPED_TRACE(std::string(row.name));
    EXPECT_EQ(ParseConnectionState(row.name), row.state);
    EXPECT_EQ(ConnectionStateName(row.state), row.name);
    EXPECT_EQ(std::wstring_view(TrayLabelFor(row.name)), row.label);
    EXPECT_EQ(IsConnectionActive(row.name), row.active);
    EXPECT_EQ(IsConnectionInTransition(row.name), row.inTransition);
  }
}

TEST(ConnectionStateTest, OnlyExactNamesParse) {
  using namespace std::string_literals;
  for (const std::string& name :
       {""s, "Connected"s, "CONNECTED"s, "connected "s, " connected"s, "connected\0"s, "connect"s,
        "disconnect"s, "disconnecte"s, "disconnectedd"s, "Error"s, "0"s, "2"s}) {
    SCOPED_TRACE(name);
    EXPECT_EQ(ParseConnectionState(name), std::nullopt);
    // Names the dispatcher would never store read as disconnected.
    EXPECT_EQ(std::wstring_view(TrayLabelFor(name)), L"Disconnected");
    EXPECT_FALSE(IsConnectionActive(name));
    EXPECT_FALSE(IsConnectionInTransition(name));
  }
}

}  // namespace
}  // namespace veltrix
