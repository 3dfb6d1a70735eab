#ifndef LAUNCH_ELEVATED_LAUNCH_H_
#define LAUNCH_ELEVATED_LAUNCH_H_

#include <windows.h>

#include <shellapi.h>

#include <functional>

#include "base/expected.h"

namespace veltrix {

// The shell's launch call, a member of each launch's steps so tests can
// watch what is passed and what is still held open while the shell runs;
// the product's is ::ShellExecuteExW.
using ShellExecuteFunction = std::function<BOOL(SHELLEXECUTEINFOW*)>;

// What to start with administrator rights, owned by `owner`'s prompt.
struct ElevatedLaunch {
  HWND owner = nullptr;
  const wchar_t* file = nullptr;
  const wchar_t* parameters = nullptr;
  const wchar_t* directory = nullptr;
  int show = SW_SHOWNORMAL;
};

// Starts `launch` through the shell with the "runas" verb, its command read
// from the machine's class for programs, and lets the started program go
// (its process handle is closed, it is not waited for). The shell's error
// when it did not start, ERROR_CANCELLED when the user said no at the
// prompt.
Win32Result<> LaunchElevated(const ElevatedLaunch& launch, const ShellExecuteFunction& shell);

// The launch's own words for how the elevated start went.
template <typename Reason>
Expected<Done, Failure<Reason>> ElevatedOutcome(const Win32Result<>& started, Reason declined,
                                                Reason failed) {
  if (started) return Done{};
  return Failure<Reason>(started.error().code == ERROR_CANCELLED ? declined : failed,
                         started.error());
}

}  // namespace veltrix

#endif  // LAUNCH_ELEVATED_LAUNCH_H_
