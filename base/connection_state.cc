#include "base/connection_state.h"

#include <array>

namespace veltrix {
namespace {

struct StateInfo {
  ConnectionState state;
  bool active;
  bool inTransition;
};

constexpr std::array<StateInfo, 6> kStates = {{
    {ConnectionState::Disconnected, false, false},
    {ConnectionState::Connecting, true, true},
    {ConnectionState::Connected, true, false},
    {ConnectionState::Reconnecting, true, true},
    {ConnectionState::Disconnecting, false, true},
    {ConnectionState::Error, false, false},
}};

const StateInfo& InfoOf(ConnectionState state) {
  for (const StateInfo& info : kStates) {
    if (info.state == state) return info;
  }
  return kStates[0];
}

}  // namespace

bool IsConnectionActive(ConnectionState state) { return InfoOf(state).active; }

bool IsConnectionInTransition(ConnectionState state) { return InfoOf(state).inTransition; }

}  // namespace veltrix
