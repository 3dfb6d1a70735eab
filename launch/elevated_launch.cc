#include "launch/elevated_launch.h"

#include "win32/last_error.h"
#include "win32/unique_handle.h"

namespace veltrix {
namespace {

// Windows lays the user's HKCU\Software\Classes over the machine's in HKCR,
// where the shell would look the verb up: a program of the user could
// register exefile\shell\runas\command there and have it run behind our
// prompt. The machine's own class is writable by administrators only.
// (Wine ignores such a user key; Windows does not.)
constexpr wchar_t kMachineProgramClass[] = L"SOFTWARE\\Classes\\exefile";

}  // namespace

Win32Result<> LaunchElevated(const ElevatedLaunch& launch, const ShellExecuteFunction& shell) {
  UniqueRegistryKey programClass;
  const LSTATUS opened = ::RegOpenKeyExW(HKEY_LOCAL_MACHINE, kMachineProgramClass, 0, KEY_READ,
                                         programClass.Receive());
  if (opened != ERROR_SUCCESS) return Win32Error(static_cast<uint32_t>(opened));

  // Every field zero but these; the process handle comes back to be closed.
  SHELLEXECUTEINFOW info{};
  info.cbSize = sizeof(info);
  info.fMask = SEE_MASK_NOCLOSEPROCESS | SEE_MASK_NOASYNC | SEE_MASK_CLASSKEY;
  info.hwnd = launch.owner;
  info.lpVerb = L"runas";
  info.lpFile = launch.file;
  info.lpParameters = launch.parameters;
  info.lpDirectory = launch.directory;
  info.nShow = launch.show;
  info.hkeyClass = programClass.Get();

  const bool started = shell(&info) != FALSE;
  const Win32Error error = LastError();
  UniqueKernelHandle process(info.hProcess);
  if (started) return Done{};
  return error;
}

}  // namespace veltrix
