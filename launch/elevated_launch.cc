#include "launch/elevated_launch.h"

#include "win32/last_error.h"
#include "win32/unique_handle.h"

namespace veltrix {

Win32Result<> LaunchElevated(const ElevatedLaunch& launch, const ShellExecuteFunction& shell) {
  // Every field zero but these; the process handle comes back to be closed.
  SHELLEXECUTEINFOW info{};
  info.cbSize = sizeof(info);
  info.fMask = SEE_MASK_NOCLOSEPROCESS | SEE_MASK_NOASYNC;
  info.hwnd = launch.owner;
  info.lpVerb = L"runas";
  info.lpFile = launch.file;
  info.lpParameters = launch.parameters;
  info.lpDirectory = launch.directory;
  info.nShow = launch.show;

  const bool started = shell(&info) != FALSE;
  const Win32Error error = LastError();
  UniqueKernelHandle process(info.hProcess);
  if (started) return Done{};
  return error;
}

}  // namespace veltrix
