#include "app/console.h"

#include <windows.h>

#include <io.h>

#include <cstdio>
#include <iostream>

#include "engine_client/engine_api.h"

namespace veltrix {

void AttachConsoleForOutput() {
  if (!::AttachConsole(ATTACH_PARENT_PROCESS) && ::IsDebuggerPresent()) AttachDebugConsole();
}

void AttachDebugConsole() {
  if (!::AllocConsole()) return;
  FILE* unused = nullptr;
  if (freopen_s(&unused, "CONOUT$", "w", stdout) != 0) _dup2(_fileno(stdout), 1);
  if (freopen_s(&unused, "CONOUT$", "w", stderr) != 0) _dup2(_fileno(stdout), 2);
  std::ios::sync_with_stdio(true);
  FlutterDesktopResyncOutputStreams();
}

}  // namespace veltrix
