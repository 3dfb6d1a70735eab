#ifndef LAUNCH_UPDATE_INSTALLER_LAUNCH_H_
#define LAUNCH_UPDATE_INSTALLER_LAUNCH_H_

#include <windows.h>

#include "launch/elevated_launch.h"
#include "launch/installer_copy.h"
#include "launch/launch_results.h"

namespace veltrix {

inline constexpr wchar_t kUpdateFolderName[] = L"VELTRIX-updates";

// What the launch depends on. The product uses DefaultInstallerLaunchSteps();
// tests replace single members.
struct InstallerLaunchSteps {
  InstallerCopySteps copy;
  ShellExecuteFunction shellExecute;
};

InstallerLaunchSteps DefaultInstallerLaunchSteps();

// Starts the downloaded update installer elevated, but only the one in
// <temp>\VELTRIX-updates, only when every object on the way is plain and
// where it should be, and only from a locked copy whose bytes have the
// request's size and digest. The request's path is only compared with the
// expected location; what is opened is built from the temporary folder, and
// what is launched is the copy.
InstallerLaunch LaunchUpdateInstaller(
    HWND owner, const InstallerRequest& request,
    const InstallerLaunchSteps& steps = DefaultInstallerLaunchSteps());

}  // namespace veltrix

#endif  // LAUNCH_UPDATE_INSTALLER_LAUNCH_H_
