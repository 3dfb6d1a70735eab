#ifndef DESKTOP_DESKTOP_STATE_H_
#define DESKTOP_DESKTOP_STATE_H_

#include "base/connection_state.h"

namespace veltrix {

// The host's desktop state, with one owner (the host window) and named
// operations; the dispatcher, the tray and the window's message handling ask
// it. Whether the tray icon exists is the tray icon's own business. Touched
// only on the window's thread.
class DesktopState {
 public:
  // `autostart`: started from the Run value ("--autostart").
  explicit DesktopState(bool autostart = false) : autostart_(autostart) {}

  bool autostart() const { return autostart_; }

  // The user interface announced itself with "initialize"; until the window
  // goes, commands can be sent to it.
  bool initialized() const { return initialized_; }
  void MarkInitialized() { initialized_ = true; }
  void EndSession() { initialized_ = false; }

  // Closing the window hides it in the tray instead of quitting.
  bool closeToTray() const { return closeToTray_; }
  void SetCloseToTray(bool closeToTray) { closeToTray_ = closeToTray; }

  // The application is closing; never undone.
  bool quitting() const { return quitting_; }
  void BeginQuitting() { quitting_ = true; }

  // A long native operation with its own modal loop is running.
  bool busy() const { return busy_; }
  void BeginLongOperation() { busy_ = true; }
  void EndLongOperation() { busy_ = false; }

  // The last connection state the user interface reported.
  ConnectionState connection() const { return connection_; }
  void RecordConnection(ConnectionState state) { connection_ = state; }

 private:
  bool autostart_;
  bool initialized_ = false;
  bool closeToTray_ = true;
  bool quitting_ = false;
  bool busy_ = false;
  ConnectionState connection_ = ConnectionState::Disconnected;
};

}  // namespace veltrix

#endif  // DESKTOP_DESKTOP_STATE_H_
