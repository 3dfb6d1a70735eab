#ifndef LAUNCH_ELEVATED_LAUNCH_H_
#define LAUNCH_ELEVATED_LAUNCH_H_

#include <windows.h>

#include <shellapi.h>

#include <functional>

#include "desktop/desktop_outcome.h"

namespace veltrix {

// The shell's launch call. The launches take it as a parameter so tests can
// watch what is passed and what is still held open while the shell runs;
// the product always passes ::ShellExecuteExW.
using ShellExecuteFunction = std::function<BOOL(SHELLEXECUTEINFOW*)>;

// What to start with administrator rights, owned by `owner`'s prompt.
struct ElevatedLaunch {
  HWND owner = nullptr;
  const wchar_t* file = nullptr;
  const wchar_t* parameters = nullptr;
  const wchar_t* directory = nullptr;
  int show = SW_SHOWNORMAL;
};

// Starts `launch` through the shell with the "runas" verb and lets the
// started program go (its process handle is closed, it is not waited for).
// kDone when it started; `declined` with ERROR_CANCELLED when the user said
// no at the prompt; `failed` with the shell's error otherwise.
OperationResult LaunchElevated(const ElevatedLaunch& launch, const ShellExecuteFunction& shell,
                               Outcome declined, Outcome failed);

}  // namespace veltrix

#endif  // LAUNCH_ELEVATED_LAUNCH_H_
