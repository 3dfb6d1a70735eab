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

}  // namespace veltrix

#endif  // LAUNCH_SHELL_EXECUTE_H_
