#include "engine_client/bundled_library.h"

#include <windows.h>

#include <vector>

namespace veltrix {

Expected<void*, BrokenLibrary> FindBundledFunction(const wchar_t* file, const char* function) {
  std::vector<wchar_t> path(32768, L'\0');
  const DWORD length = ::GetModuleFileNameW(nullptr, path.data(), static_cast<DWORD>(path.size()));
  std::wstring folder(path.data(), length < path.size() ? length : 0);
  folder.erase(folder.find_last_of(L'\\') + 1);
  // Its own dependencies come from its folder and the system's, never
  // from the current folder or PATH.
  const HMODULE library =
      ::LoadLibraryExW((folder + file).c_str(), nullptr,
                       LOAD_LIBRARY_SEARCH_DLL_LOAD_DIR | LOAD_LIBRARY_SEARCH_DEFAULT_DIRS);
  void* found =
      library == nullptr ? nullptr : reinterpret_cast<void*>(::GetProcAddress(library, function));
  if (found == nullptr) return BrokenLibrary{file};
  return found;
}

}  // namespace veltrix
