#include "file_safety/file_identity.h"

#include <vector>

#include "win32/system_paths.h"

namespace veltrix {

Win32Result<std::wstring> FinalPathOfHandle(HANDLE handle) {
  std::vector<wchar_t> buffer(kPathBufferUnits, L'\0');
  const DWORD length = ::GetFinalPathNameByHandleW(handle, buffer.data(), kPathBufferUnits, 0);
  if (length == 0) return Win32Error{::GetLastError()};
  // A larger result is the size the path would need.
  if (length > kPathBufferUnits - 1) return Win32Error{ERROR_BAD_PATHNAME};
  return std::wstring(buffer.data(), length);
}

Win32Result<BY_HANDLE_FILE_INFORMATION> ReadFileInformation(HANDLE handle) {
  BY_HANDLE_FILE_INFORMATION info{};
  if (!::GetFileInformationByHandle(handle, &info)) return Win32Error{::GetLastError()};
  return info;
}

bool IsPlainLocalFile(HANDLE file, const BY_HANDLE_FILE_INFORMATION& info) {
  if ((info.dwFileAttributes & (FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_REPARSE_POINT)) != 0) {
    return false;
  }
  if (info.nNumberOfLinks != 1) return false;
  return ::GetFileType(file) == FILE_TYPE_DISK;
}

bool IsPlainDirectory(const BY_HANDLE_FILE_INFORMATION& info) {
  return (info.dwFileAttributes & (FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_REPARSE_POINT)) ==
         FILE_ATTRIBUTE_DIRECTORY;
}

}  // namespace veltrix
