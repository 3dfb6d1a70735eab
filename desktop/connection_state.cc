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

const StateInfo* FindByName(std::string_view name) {
  for (const StateInfo& info : kStates) {
    if (info.name == name) return &info;
  }
  return nullptr;
}

}  // namespace

std::optional<ConnectionState> ParseConnectionState(std::string_view name) {
  const StateInfo* info = FindByName(name);
  if (info == nullptr) return std::nullopt;
  return info->state;
}

std::string_view ConnectionStateName(ConnectionState state) {
  for (const StateInfo& info : kStates) {
    if (info.state == state) return info.name;
  }
  return kStates[0].name;
}

const wchar_t* TrayLabelFor(std::string_view name) {
  const StateInfo* info = FindByName(name);
  return info != nullptr ? info->label : kStates[0].label;
}

bool IsConnectionActive(std::string_view name) {
  const StateInfo* info = FindByName(name);
  return info != nullptr && info->active;
}

bool IsConnectionInTransition(std::string_view name) {
  const StateInfo* info = FindByName(name);
  return info != nullptr && info->inTransition;
}

}  // namespace veltrix
