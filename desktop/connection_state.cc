#include "desktop/connection_state.h"

#include <array>

namespace veltrix {
namespace {

struct StateInfo {
  ConnectionState state;
  std::string_view name;
  const wchar_t* label;
  bool active;
  bool inTransition;
};

constexpr std::array<StateInfo, 6> kStates = {{
    {ConnectionState::Disconnected, "disconnected", L"Disconnected", false, false},
    {ConnectionState::Connecting, "connecting", L"Connecting", true, true},
    {ConnectionState::Connected, "connected", L"Connected", true, false},
    {ConnectionState::Reconnecting, "reconnecting", L"Reconnecting", true, true},
    {ConnectionState::Disconnecting, "disconnecting", L"Disconnecting", false, true},
    {ConnectionState::Error, "error", L"Connection error", false, false},
}};

const StateInfo& InfoOf(ConnectionState state) {
  for (const StateInfo& info : kStates) {
    if (info.state == state) return info;
  }
  return kStates[0];
}

}  // namespace

std::optional<ConnectionState> ParseConnectionState(std::string_view name) {
  for (const StateInfo& info : kStates) {
    if (info.name == name) return info.state;
  }
  return std::nullopt;
}

std::string_view ConnectionStateName(ConnectionState state) { return InfoOf(state).name; }

const wchar_t* TrayLabelFor(ConnectionState state) { return InfoOf(state).label; }

bool IsConnectionActive(ConnectionState state) { return InfoOf(state).active; }

bool IsConnectionInTransition(ConnectionState state) { return InfoOf(state).inTransition; }

}  // namespace veltrix
