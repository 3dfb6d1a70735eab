#include "login/run_at_login.h"

#include <windows.h>

#include "win32/system_paths.h"
#include "win32/unique_handle.h"

namespace veltrix {
namespace {

Win32Result<> Status(LSTATUS status) {
  if (status != ERROR_SUCCESS) return Win32Error{static_cast<uint32_t>(status)};
  return Done{};
}

// Our value under the current user's `keyPath`; a value or key that is
// already gone counts as removed.
Win32Result<> RemoveValue(const wchar_t* keyPath) {
  UniqueRegistryKey key;
  const LSTATUS opened =
      ::RegOpenKeyExW(HKEY_CURRENT_USER, keyPath, 0, KEY_SET_VALUE, key.Receive());
  if (opened == ERROR_FILE_NOT_FOUND) return Done{};
  if (opened != ERROR_SUCCESS) return Status(opened);
  const LSTATUS deleted = ::RegDeleteValueW(key.Get(), kRunValueName);
  return Status(deleted == ERROR_FILE_NOT_FOUND ? ERROR_SUCCESS : deleted);
}

}  // namespace

std::wstring RunValueData(std::wstring_view modulePath) {
  std::wstring data;
  data.reserve(modulePath.size() + 14);
  data += L'"';
  data += modulePath;
  data += L"\" --autostart";
  return data;
}

Win32Result<> WriteRunValue(std::wstring_view modulePath) {
  const std::wstring data = RunValueData(modulePath);
  UniqueRegistryKey key;
  const LSTATUS created =
      ::RegCreateKeyExW(HKEY_CURRENT_USER, kRunKeyPath, 0, nullptr, REG_OPTION_NON_VOLATILE,
                        KEY_SET_VALUE, nullptr, key.Receive(), nullptr);
  if (created != ERROR_SUCCESS) return Status(created);
  // The size counts the terminating zero unit.
  const DWORD bytes = static_cast<DWORD>((data.size() + 1) * sizeof(wchar_t));
  return Status(::RegSetValueExW(key.Get(), kRunValueName, 0, REG_SZ,
                                 reinterpret_cast<const BYTE*>(data.c_str()), bytes));
}

Win32Result<> SetRunAtLogin(bool enable) {
  if (enable) {
    const Win32Result<std::wstring> program = RunningModulePath();
    if (!program) return program.error();
    if (Win32Result<> written = WriteRunValue(*program); !written) return written;
  } else if (Win32Result<> removed = RemoveValue(kRunKeyPath); !removed) {
    return removed;
  }
  return RemoveValue(kStartupApprovedKeyPath);
}

}  // namespace veltrix
