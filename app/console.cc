#include "app/console.h"

#include <windows.h>

#include <io.h>

#include <cstdio>
#include <iostream>

#include "engine_client/engine_api.h"

namespace veltrix {
namespace {

// A GUI program starts without standard streams: once it has a console,
// the C runtime's streams (and the engine's) are pointed at it. A stream
// that cannot be reopened shares standard output's descriptor, but only a
// valid one: nothing is ever written through an invalid descriptor.
void ReopenStreamsOnConsole() {
  FILE* unused = nullptr;
  if (freopen_s(&unused, "CONOUT$", "w", stdout) != 0 && _fileno(stdout) >= 0) {
    _dup2(_fileno(stdout), 1);
  }
  if (freopen_s(&unused, "CONOUT$", "w", stderr) != 0 && _fileno(stdout) >= 0) {
    _dup2(_fileno(stdout), 2);
  }
  std::ios::sync_with_stdio(true);
  FlutterDesktopResyncOutputStreams();
}

}  // namespace

void AttachConsoleForOutput() {
  if (::AttachConsole(ATTACH_PARENT_PROCESS)) {
    ReopenStreamsOnConsole();
  } else if (::IsDebuggerPresent()) {
    AttachDebugConsole();
  }
}

void AttachDebugConsole() {
  if (::AllocConsole()) ReopenStreamsOnConsole();
}

}  // namespace veltrix
