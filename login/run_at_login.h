#ifndef LOGIN_RUN_AT_LOGIN_H_
#define LOGIN_RUN_AT_LOGIN_H_

#include <string>
#include <string_view>

#include "base/expected.h"
#include "base/product.h"

namespace veltrix {

// The per-user Run key and the one value this program keeps there.
inline constexpr wchar_t kRunKeyPath[] = L"Software\\Microsoft\\Windows\\CurrentVersion\\Run";
inline constexpr const wchar_t* kRunValueName = kProductName;
// Where Task Manager's Startup tab marks an entry of the Run key disabled,
// under the same value name.
inline constexpr wchar_t kStartupApprovedKeyPath[] =
    L"Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\StartupApproved\\Run";

// Writes (enable) or removes the Run value that starts this executable with
// "--autostart" at sign-in. Either way the entry's approval mark goes too:
// enabling from the program is the user's latest choice, and it would not
// start while marked disabled. A value or key that is already gone counts
// as removed.
Win32Result<> SetRunAtLogin(bool enable);

// Writes the Run value for the executable at `modulePath`. SetRunAtLogin(true)
// uses it with the running executable's path.
Win32Result<> WriteRunValue(std::wstring_view modulePath);

// The Run value's data: the path always quoted, then " --autostart".
std::wstring RunValueData(std::wstring_view modulePath);

}  // namespace veltrix

#endif  // LOGIN_RUN_AT_LOGIN_H_
