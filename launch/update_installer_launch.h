#ifndef LAUNCH_UPDATE_INSTALLER_LAUNCH_H_
#define LAUNCH_UPDATE_INSTALLER_LAUNCH_H_

#include <windows.h>

#include <cstdint>
#include <string>

#include "engine_client/method_result.h"
#include "launch/shell_execute.h"

namespace veltrix {

inline constexpr wchar_t kUpdateFolderName[] = L"VELTRIX-updates";
inline constexpr wchar_t kInstallerFileName[] = L"VELTRIX-VPN-Setup-x64-beta.exe";

// Starts the downloaded update installer elevated, but only the one in
// <temp>\VELTRIX-updates, only when every object on the way is plain and
// where it should be, and only when the bytes behind the open handle have
// `size` bytes and digest `sha256`. `path` is only compared with the
// expected location; what is opened and launched is built from the
// temporary folder. Answers `result` exactly once before returning.
void LaunchUpdateInstaller(HWND owner, const std::string& path, const std::string& sha256,
                           uint64_t size, flutter::MethodResult& result);

// The same with the shell's launch call supplied by the caller.
void LaunchUpdateInstaller(HWND owner, const std::string& path, const std::string& sha256,
                           uint64_t size, flutter::MethodResult& result,
                           const ShellExecuteFunction& shellExecute);

}  // namespace veltrix

#endif  // LAUNCH_UPDATE_INSTALLER_LAUNCH_H_
