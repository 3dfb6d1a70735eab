#ifndef LAUNCH_SHELL_EXECUTE_H_
#define LAUNCH_SHELL_EXECUTE_H_

#include <windows.h>

#include <shellapi.h>

#include <functional>

namespace veltrix {

// The shell's launch call. The launches take it as a parameter so tests can
// watch what is passed and what is still held open while the shell runs;
// the product always passes ::ShellExecuteExW.
using ShellExecuteFunction = std::function<BOOL(SHELLEXECUTEINFOW*)>;

// The record of an elevated launch: every field zero except these. The
// process handle comes back so the caller can close it (it is not waited for).
inline SHELLEXECUTEINFOW ElevatedLaunchInfo(HWND owner, const wchar_t* file,
                                            const wchar_t* parameters, const wchar_t* directory,
                                            int show) {
  SHELLEXECUTEINFOW info{};
  info.cbSize = sizeof(info);
  info.fMask = SEE_MASK_NOCLOSEPROCESS | SEE_MASK_NOASYNC;
  info.hwnd = owner;
  info.lpVerb = L"runas";
  info.lpFile = file;
  info.lpParameters = parameters;
  info.lpDirectory = directory;
  info.nShow = show;
  return info;
}

}  // namespace veltrix

#endif  // LAUNCH_SHELL_EXECUTE_H_
