#include "win32/known_folder.h"

#include <shlobj.h>

#include "win32/unique_handle.h"

namespace veltrix {
namespace {

void FreeCoTaskMemory(void* memory) { ::CoTaskMemFree(memory); }
using UniqueCoTaskMemory = UniqueHandle<void*, FreeCoTaskMemory>;

}  // namespace

Win32Result<std::wstring> KnownFolderPath(const GUID& folder) {
  UniqueCoTaskMemory text;
  const HRESULT status =
      ::SHGetKnownFolderPath(folder, 0, nullptr, reinterpret_cast<PWSTR*>(text.Receive()));
  if (FAILED(status) || !text) return Win32Error(static_cast<uint32_t>(status));
  return std::wstring(static_cast<const wchar_t*>(text.Get()));
}

}  // namespace veltrix
