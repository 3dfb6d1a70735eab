#ifndef WIN32_LAST_ERROR_H_
#define WIN32_LAST_ERROR_H_

#include <windows.h>

#include "base/expected.h"

namespace veltrix {

// The calling thread's last error, to be taken right after the call that
// failed and carried from there.
inline Win32Error LastError() { return Win32Error(::GetLastError()); }

}  // namespace veltrix

#endif  // WIN32_LAST_ERROR_H_
