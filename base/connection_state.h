#ifndef BASE_CONNECTION_STATE_H_
#define BASE_CONNECTION_STATE_H_

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

// Connecting, connected or reconnecting: the tray offers "Disconnect".
bool IsConnectionActive(ConnectionState state);
// Connecting, reconnecting or disconnecting: the tray greys its toggle.
bool IsConnectionInTransition(ConnectionState state);

}  // namespace veltrix

#endif  // BASE_CONNECTION_STATE_H_
