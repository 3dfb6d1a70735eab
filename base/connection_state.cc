#include "base/connection_state.h"

#include <array>

namespace veltrix {
namespace {

struct StateInfo {
  ConnectionState state;
  const wchar_t* label;
  bool active;
  bool inTransition;
};

constexpr std::array<StateInfo, 6> kStates = {{
    {ConnectionState::Disconnected, L"Disconnected", false, false},
    {ConnectionState::Connecting, L"Connecting", true, true},
    {ConnectionState::Connected, L"Connected", true, false},
    {ConnectionState::Reconnecting, L"Reconnecting", true, true},
    {ConnectionState::Disconnecting, L"Disconnecting", false, true},
    {ConnectionState::Error, L"Connection error", false, false},
}};

const StateInfo& InfoOf(ConnectionState state) {
  for (const StateInfo& info : kStates) {
    if (info.state == state) return info;
  }
  return kStates[0];
}

}  // namespace

const wchar_t* TrayLabelFor(ConnectionState state) { return InfoOf(state).label; }

bool IsConnectionActive(ConnectionState state) { return InfoOf(state).active; }

bool IsConnectionInTransition(ConnectionState state) { return InfoOf(state).inTransition; }

}  // namespace veltrix
