#include "file_safety/file_identity.h"

#include "file_safety/path_checks.h"
#include "win32/last_error.h"
#include "win32/system_paths.h"

namespace veltrix {
namespace {

constexpr std::wstring_view kFinalPathPrefix = L"\\\\?\\";
// The device characteristic a network redirector sets (FILE_REMOTE_DEVICE).
constexpr ULONG kRemoteDevice = 0x10;

// NtQueryVolumeInformationFile with FileFsDeviceInformation (4), looked up
// in ntdll: the one system call that tells a redirected device apart.
struct DeviceInformation {
  ULONG deviceType;
  ULONG characteristics;
};
struct IoStatus {
  union {
    LONG status;
    void* pointer;
  };
  ULONG_PTR information;
};
using QueryVolumeInformation = LONG(NTAPI*)(HANDLE, IoStatus*, void*, ULONG, ULONG);
constexpr ULONG kFileFsDeviceInformation = 4;

// The characteristics of the device an open object lives on; a device that
// cannot be asked counts as remote.
ULONG DeviceCharacteristics(HANDLE handle) {
  static const auto query = reinterpret_cast<QueryVolumeInformation>(reinterpret_cast<void*>(
      ::GetProcAddress(::GetModuleHandleW(L"ntdll.dll"), "NtQueryVolumeInformationFile")));
  DeviceInformation device{};
  IoStatus io{};
  if (query == nullptr ||
      query(handle, &io, &device, sizeof(device), kFileFsDeviceInformation) < 0) {
    return kRemoteDevice;
  }
  return device.characteristics;
}

}  // namespace

Win32Result<std::wstring> FinalPathOfHandle(HANDLE handle) {
  std::vector<wchar_t> buffer(kPathBufferUnits, L'\0');
  const DWORD length = ::GetFinalPathNameByHandleW(handle, buffer.data(), kPathBufferUnits, 0);
  if (length == 0) return LastError();
  // A larger result is the size the path would need.
  if (length > kPathBufferUnits - 1) return Win32Error{ERROR_BAD_PATHNAME};
  return std::wstring(buffer.data(), length);
}

std::optional<std::wstring> DriveLetterForm(std::wstring_view finalPath) {
  if (finalPath.substr(0, kFinalPathPrefix.size()) != kFinalPathPrefix) return std::nullopt;
  const std::wstring_view path = finalPath.substr(kFinalPathPrefix.size());
  if (!IsSafeLocalPath(path)) return std::nullopt;
  return std::wstring(path);
}

Win32Result<BY_HANDLE_FILE_INFORMATION> ReadFileInformation(HANDLE handle) {
  BY_HANDLE_FILE_INFORMATION info{};
  if (!::GetFileInformationByHandle(handle, &info)) return LastError();
  return info;
}

Win32Result<std::vector<std::wstring>> FolderEntries(HANDLE folder) {
  std::vector<std::wstring> names;
  alignas(FILE_ID_BOTH_DIR_INFO) BYTE buffer[64 * 1024];
  FILE_INFO_BY_HANDLE_CLASS kind = FileIdBothDirectoryRestartInfo;
  while (::GetFileInformationByHandleEx(folder, kind, buffer, sizeof(buffer))) {
    kind = FileIdBothDirectoryInfo;
    for (const BYTE* at = buffer;;) {
      const auto* entry = reinterpret_cast<const FILE_ID_BOTH_DIR_INFO*>(at);
      std::wstring name(entry->FileName, entry->FileNameLength / sizeof(wchar_t));
      if (name != L"." && name != L"..") names.push_back(std::move(name));
      if (entry->NextEntryOffset == 0) break;
      at += entry->NextEntryOffset;
    }
  }
  if (::GetLastError() != ERROR_NO_MORE_FILES) return LastError();
  return names;
}

bool IsLocalDisk(DWORD fileType, ULONG deviceCharacteristics) {
  return fileType == FILE_TYPE_DISK && (deviceCharacteristics & kRemoteDevice) == 0;
}

void MarkForDeletion(HANDLE object) {
  FILE_DISPOSITION_INFO disposition{TRUE};
  ::SetFileInformationByHandle(object, FileDispositionInfo, &disposition, sizeof(disposition));
}

bool IsOnLocalDisk(HANDLE object) {
  return IsLocalDisk(::GetFileType(object), DeviceCharacteristics(object));
}

bool IsPlainLocalFile(HANDLE file, const BY_HANDLE_FILE_INFORMATION& info) {
  if ((info.dwFileAttributes & (FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_REPARSE_POINT)) != 0) {
    return false;
  }
  if (info.nNumberOfLinks != 1) return false;
  if (!IsOnLocalDisk(file)) return false;
  const Win32Result<std::wstring> finalPath = FinalPathOfHandle(file);
  return finalPath && DriveLetterForm(*finalPath).has_value();
}

bool IsPlainDirectory(const BY_HANDLE_FILE_INFORMATION& info) {
  return (info.dwFileAttributes & (FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_REPARSE_POINT)) ==
         FILE_ATTRIBUTE_DIRECTORY;
}

}  // namespace veltrix
