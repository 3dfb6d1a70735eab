#ifndef WINDOW_WINDOW_MESSAGES_H_
#define WINDOW_WINDOW_MESSAGES_H_

#include <cstdint>

#include "base/product.h"

namespace veltrix {

// The host window's class; a second start and the test UI find it by this.
inline constexpr wchar_t kWindowClassName[] = L"FLUTTER_RUNNER_WIN32_WINDOW";

// The host window's own messages, in the application's range (WM_APP + n).

// The tray icon's events, sent by the shell.
inline constexpr uint32_t kTrayCallbackMessage = 0x8041;
// Destroy the window now and end the message loop; posted by the host itself.
inline constexpr uint32_t kQuitMessage = 0x8042;
// The console the program was started from is closing: end in order, now.
// Posted from the console's handler thread.
inline constexpr uint32_t kConsoleClosedMessage = 0x8043;

// The host window's timers: a login start's next try for its tray icon and
// the end of its wait for one, the user interface's time to answer "quit",
// and the wait before the user may insist on it.
inline constexpr uintptr_t kTrayRetryTimerId = 1;
inline constexpr uintptr_t kTrayGiveUpTimerId = 2;
inline constexpr uintptr_t kQuitAnswerTimerId = 3;
inline constexpr uintptr_t kQuitInsistTimerId = 4;

// Registered by name: a second start of the program in the session asks the
// running copy to show its window. The name is this program's alone.
inline constexpr wchar_t kShowRunningWindowMessageName[] = VELTRIX_SESSION_TAG_W L" show window";

}  // namespace veltrix

#endif  // WINDOW_WINDOW_MESSAGES_H_
