#ifndef DESKTOP_DESKTOP_BRIDGE_H_
#define DESKTOP_DESKTOP_BRIDGE_H_

#include <cstdint>
#include <string>

namespace veltrix {

// Private messages of the host window (WM_APP + 0x41 and WM_APP + 0x42),
// spelled out so that portable code can name them without windows.h.
inline constexpr uint32_t kTrayCallbackMessage = 0x8041;
inline constexpr uint32_t kQuitMessage = 0x8042;

// The desktop state that the host window, the tray and the dispatcher share.
// Everything here is touched only on the window's thread.
struct DesktopBridge {
  // The tray icon is currently in the notification area.
  bool trayAvailable = false;
  // The shell accepted notify-icon version 4 for the icon.
  bool trayVersion4 = false;
  // The user interface has announced itself with "initialize".
  bool initialized = false;
  // Closing the window hides it in the tray instead of quitting.
  bool closeToTray = true;
  // Started from the Run value ("--autostart" on the command line).
  bool autostart = false;
  // The application is closing; never cleared.
  bool quitting = false;
  // A long native operation with its own modal loop is running.
  bool desktopBusy = false;
  // Channel name of the last connection state the user interface reported.
  std::string connectionState = "disconnected";

  friend bool operator==(const DesktopBridge&, const DesktopBridge&) = default;
};

}  // namespace veltrix

#endif  // DESKTOP_DESKTOP_BRIDGE_H_
