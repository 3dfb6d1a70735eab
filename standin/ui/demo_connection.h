// The demo screen's pretend VPN connection: connecting and disconnecting
// take a moment, like the real client's, so the tray shows the passing
// states too.
#ifndef STANDIN_UI_DEMO_CONNECTION_H_
#define STANDIN_UI_DEMO_CONNECTION_H_

#include <string_view>

namespace veltrix {

class DemoConnection {
 public:
  // How long the passing state lasts before Advance ends it.
  static constexpr unsigned kConnectingMs = 1500;
  static constexpr unsigned kDisconnectingMs = 800;

  // The channel name of the state.
  std::string_view state() const { return state_; }
  // Waiting for Advance.
  bool InTransition() const;

  // Connect when idle, disconnect when active; ignored while disconnecting.
  // Returns the milliseconds until Advance, or 0 when nothing changed.
  unsigned Toggle();
  // Ends connecting or disconnecting; false when nothing was under way.
  bool Advance();

 private:
  std::string_view state_ = "disconnected";
};

}  // namespace veltrix

#endif  // STANDIN_UI_DEMO_CONNECTION_H_
