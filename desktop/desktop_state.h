#ifndef DESKTOP_DESKTOP_STATE_H_
#define DESKTOP_DESKTOP_STATE_H_

#include "base/connection_state.h"
#include "base/thread_checker.h"

namespace veltrix {

// What the user interface told the host, with one owner (the host window)
// and named operations; the dispatcher, the tray and the window's message
// handling ask it. Whether the tray icon exists is the tray icon's own
// business, and where the program stands in its life the lifecycle's. Changed
// only on the window's thread.
class DesktopState {
 public:
  // The user interface announced itself with "initialize"; until the window
  // goes, commands can be sent to it.
  bool initialized() const { return initialized_; }
  void MarkInitialized() {
    thread_.Check();
    initialized_ = true;
  }
  void EndSession() {
    thread_.Check();
    initialized_ = false;
  }

  // Closing the window hides it in the tray instead of quitting.
  bool closeToTray() const { return closeToTray_; }
  void SetCloseToTray(bool closeToTray) {
    thread_.Check();
    closeToTray_ = closeToTray;
  }

  // The last connection state the user interface reported.
  ConnectionState connection() const { return connection_; }
  void RecordConnection(ConnectionState state) {
    thread_.Check();
    connection_ = state;
  }

 private:
  bool initialized_ = false;
  bool closeToTray_ = true;
  ConnectionState connection_ = ConnectionState::Disconnected;
  ThreadChecker thread_;
};

}  // namespace veltrix

#endif  // DESKTOP_DESKTOP_STATE_H_
