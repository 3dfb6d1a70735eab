#include "win32/system_paths.h"

#include <windows.h>

#include <vector>

namespace veltrix {
namespace {

// A query result is whole when it reports 1 to kPathBufferUnits - 1 units.
Win32Result<std::wstring> WholePath(const std::vector<wchar_t>& buffer, DWORD length) {
  if (length < 1 || length > kPathBufferUnits - 1) return Win32Error{ERROR_BAD_PATHNAME};
  return std::wstring(buffer.data(), length);
}

}  // namespace

Win32Result<std::wstring> RunningModulePath() {
  std::vector<wchar_t> buffer(kPathBufferUnits, L'\0');
  return WholePath(buffer, ::GetModuleFileNameW(nullptr, buffer.data(), kPathBufferUnits));
}

Win32Result<std::wstring> TemporaryFolderPath() {
  std::vector<wchar_t> buffer(kPathBufferUnits, L'\0');
  Win32Result<std::wstring> path =
      WholePath(buffer, ::GetTempPathW(kPathBufferUnits, buffer.data()));
  if (path && path->back() != L'\\') path->push_back(L'\\');
  return path;
}

}  // namespace veltrix
