#include "standin/ui/demo_connection.h"

namespace veltrix {

bool DemoConnection::InTransition() const {
  return state_ == "connecting" || state_ == "disconnecting";
}

unsigned DemoConnection::Toggle() {
  if (state_ == "disconnecting") return 0;
  if (state_ == "connecting" || state_ == "connected") {
    state_ = "disconnecting";
    return kDisconnectingMs;
  }
  state_ = "connecting";
  return kConnectingMs;
}

bool DemoConnection::Advance() {
  if (state_ == "connecting") {
    state_ = "connected";
    return true;
  }
  if (state_ == "disconnecting") {
    state_ = "disconnected";
    return true;
  }
  return false;
}

}  // namespace veltrix
