#include "win32/dll_search.h"

#include <windows.h>

#include "win32/last_error.h"

namespace veltrix {

Win32Result<> RestrictDllSearch() {
  if (!::SetDefaultDllDirectories(LOAD_LIBRARY_SEARCH_DEFAULT_DIRS)) return LastError();
  return Done{};
}

}  // namespace veltrix
