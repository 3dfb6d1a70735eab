#ifndef DESKTOP_CONNECTION_STATE_H_
#define DESKTOP_CONNECTION_STATE_H_

#include <optional>
#include <string_view>

namespace veltrix {

// The VPN connection states the user interface reports. The host only
// mirrors them; it never derives a state itself.
enum class ConnectionState {
  Disconnected,
  Connecting,
  Connected,
  Reconnecting,
  Disconnecting,
  Error,
};

// The state whose channel name has exactly these bytes: case-sensitive, no
// trimming, no prefixes.
std::optional<ConnectionState> ParseConnectionState(std::string_view name);

// The channel name, the only external form of a state.
std::string_view ConnectionStateName(ConnectionState state);

// Tray tooltip label.
const wchar_t* TrayLabelFor(ConnectionState state);
// Connecting, connected or reconnecting: the tray offers "Disconnect".
bool IsConnectionActive(ConnectionState state);
// Connecting, reconnecting or disconnecting: the tray greys its toggle.
bool IsConnectionInTransition(ConnectionState state);

}  // namespace veltrix

#endif  // DESKTOP_CONNECTION_STATE_H_
