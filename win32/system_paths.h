#ifndef WIN32_SYSTEM_PATHS_H_
#define WIN32_SYSTEM_PATHS_H_

#include <cstddef>
#include <string>

#include "base/expected.h"

namespace veltrix {

// Every buffer for a Windows path query holds this many UTF-16 units; a
// query that needs more fails and is never retried larger.
inline constexpr size_t kPathBufferUnits = 32768;

// The running executable's full path. ERROR_BAD_PATHNAME when it cannot be
// had whole.
Win32Result<std::wstring> RunningModulePath();

// The user's temporary folder as GetTempPathW gives it, ending with '\'.
// ERROR_BAD_PATHNAME when it cannot be had whole.
Win32Result<std::wstring> TemporaryFolderPath();

}  // namespace veltrix

#endif  // WIN32_SYSTEM_PATHS_H_
