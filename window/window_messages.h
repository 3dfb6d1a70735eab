#ifndef WINDOW_WINDOW_MESSAGES_H_
#define WINDOW_WINDOW_MESSAGES_H_

#include <cstdint>

namespace veltrix {

// The host window's own messages, in the application's range (WM_APP + n).

// The tray icon's events, sent by the shell.
inline constexpr uint32_t kTrayCallbackMessage = 0x8041;
// Destroy the window now and end the message loop; posted by the host itself.
inline constexpr uint32_t kQuitMessage = 0x8042;

}  // namespace veltrix

#endif  // WINDOW_WINDOW_MESSAGES_H_
