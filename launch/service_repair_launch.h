#ifndef LAUNCH_SERVICE_REPAIR_LAUNCH_H_
#define LAUNCH_SERVICE_REPAIR_LAUNCH_H_

#include <windows.h>

#include <functional>
#include <string>

#include "base/expected.h"
#include "launch/elevated_launch.h"
#include "launch/launch_results.h"

namespace veltrix {

// Rights that only a trusted principal may hold on a protected object:
// anything that adds, changes, deletes or re-permissions.
inline constexpr DWORD kProtectedWriteMask = FILE_WRITE_DATA | FILE_APPEND_DATA | FILE_WRITE_EA |
                                             FILE_DELETE_CHILD | FILE_WRITE_ATTRIBUTES | DELETE |
                                             WRITE_DAC | WRITE_OWNER | GENERIC_ALL | GENERIC_WRITE;

// LocalSystem, the Administrators group, or the TrustedInstaller service
// (looked up afresh each time; not trusted when the lookup fails).
bool IsTrustedOwnerSid(PSID sid);

// The security policy for a protected object: a trusted owner, a valid DACL,
// and no allowing entry that grants a right of kProtectedWriteMask to anyone
// but a trusted principal, on the object or on children to come (CREATOR
// OWNER may hold them on children: only the trusted can create one).
// Denying entries play no part; any other kind of entry is refused.
bool IsProtectedObjectSecurity(PSID owner, PACL dacl);

// Where the repair looks and how it decides and launches. The product uses
// DefaultServiceRepairEnvironment(); tests replace single members.
struct ServiceRepairEnvironment {
  std::function<Win32Result<std::wstring>()> programFilesFolder;
  std::function<Win32Result<std::wstring>()> runningProgramPath;
  // Decides an object's owner and DACL.
  std::function<bool(PSID owner, PACL dacl)> securityPolicy;
  ShellExecuteFunction shellExecute;
};

ServiceRepairEnvironment DefaultServiceRepairEnvironment();

// Starts "veltrix_vpn_helper.exe --repair-service" elevated and hidden, but
// only when this program is the installed one and Program Files, the
// installation folder, the helper and every DLL beside it (which the
// elevated helper may load) are plain objects that only trusted principals
// can change, and the helper carries our publisher's signature. Every handle it opened is closed
// when it returns.
RepairLaunch LaunchServiceRepair(
    HWND owner, const ServiceRepairEnvironment& environment = DefaultServiceRepairEnvironment());

}  // namespace veltrix

#endif  // LAUNCH_SERVICE_REPAIR_LAUNCH_H_
