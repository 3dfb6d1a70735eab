#ifndef WIN32_DLL_SEARCH_H_
#define WIN32_DLL_SEARCH_H_

#include "base/expected.h"

namespace veltrix {

// Limits the search for DLLs loaded by name at run time to the program's
// own folder and System32: the current folder and PATH, where other
// programs may drop a DLL of a known name, are never searched. Called
// before anything is loaded at run time.
Win32Result<> RestrictDllSearch();

}  // namespace veltrix

#endif  // WIN32_DLL_SEARCH_H_
