#ifndef WINDOW_WINDOW_MESSAGES_H_
#define WINDOW_WINDOW_MESSAGES_H_

#include <cstdint>

namespace veltrix {

// The host window's own messages, in the application's range (WM_APP + n).

// The tray icon's events, sent by the shell.
inline constexpr uint32_t kTrayCallbackMessage = 0x8041;
// Destroy the window now and end the message loop; posted by the host itself.
inline constexpr uint32_t kQuitMessage = 0x8042;

// Registered by name: a second start of the program in the session asks the
// running copy to show its window. The name is this program's alone.
inline constexpr wchar_t kShowRunningWindowMessageName[] =
    L"VELTRIX VPN {8A3C5E2B-7D41-4F0E-9B6A-2C1E5D7F9A30} show window";

}  // namespace veltrix

#endif  // WINDOW_WINDOW_MESSAGES_H_
