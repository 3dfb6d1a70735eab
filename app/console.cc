#include "app/console.h"

#include <windows.h>

#include <io.h>

#include <atomic>
#include <cstdio>
#include <iostream>

#include "engine_client/engine_api.h"
#include "window/window_messages.h"

namespace veltrix {
namespace {

// A stream the caller gave the program: a file, a pipe or a console.
bool Given(DWORD stream) {
  const HANDLE handle = ::GetStdHandle(stream);
  return handle != nullptr && handle != INVALID_HANDLE_VALUE &&
         ::GetFileType(handle) != FILE_TYPE_UNKNOWN;
}

std::atomic<HWND> consoleCloseTarget{nullptr};
// Windows ends the process about 5 s after the close, whatever the handler
// does; the orderly end has this long.
constexpr DWORD kConsoleCloseWaitMs = 4000;

// Quitting is the tray's and the user interface's: Ctrl+C and Ctrl+Break in
// the console are ignored. A closing console ends the program as the end of
// the session does (placement saved, icon removed, engine shut down), and
// this, on the console's own thread, waits for it: the program's end takes
// this thread with it.
BOOL WINAPI OnConsoleControl(DWORD event) {
  if (event == CTRL_C_EVENT || event == CTRL_BREAK_EVENT) return TRUE;
  if (event != CTRL_CLOSE_EVENT) return FALSE;
  const HWND window = consoleCloseTarget.load();
  if (window != nullptr && ::PostMessageW(window, kConsoleClosedMessage, 0, 0)) {
    ::Sleep(kConsoleCloseWaitMs);
  }
  return TRUE;
}

// Once the program has a console, the C runtime's streams (and the
// engine's) that nobody gave it are pointed at it. A stream that cannot be
// reopened shares standard output's descriptor, but only a valid one:
// nothing is ever written through an invalid descriptor.
void ReopenStreamsOnConsole(bool outputGiven, bool errorGiven) {
  FILE* unused = nullptr;
  if (!outputGiven && freopen_s(&unused, "CONOUT$", "w", stdout) != 0 && _fileno(stdout) >= 0) {
    _dup2(_fileno(stdout), 1);
  }
  if (!errorGiven && freopen_s(&unused, "CONOUT$", "w", stderr) != 0 && _fileno(stdout) >= 0) {
    _dup2(_fileno(stdout), 2);
  }
  std::ios::sync_with_stdio(true);
  FlutterDesktopResyncOutputStreams();
}

}  // namespace

bool NeedsConsole(bool outputGiven, bool errorGiven) { return !outputGiven || !errorGiven; }

void EndWithConsole(HWND window) { consoleCloseTarget.store(window); }

void AttachConsoleForOutput() {
  const bool outputGiven = Given(STD_OUTPUT_HANDLE);
  const bool errorGiven = Given(STD_ERROR_HANDLE);
  // Output and errors both go where the caller sent them: no console needed.
  if (!NeedsConsole(outputGiven, errorGiven)) return;
  if (::AttachConsole(ATTACH_PARENT_PROCESS)) {
    ::SetConsoleCtrlHandler(OnConsoleControl, TRUE);
    ReopenStreamsOnConsole(outputGiven, errorGiven);
  } else if (::IsDebuggerPresent()) {
    AttachDebugConsole();
  }
}

void AttachDebugConsole() {
  if (::AllocConsole()) ReopenStreamsOnConsole(false, false);
}

}  // namespace veltrix
