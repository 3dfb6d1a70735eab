#include "desktop/run_at_login.h"

#include <windows.h>

#include <vector>

#include "win32/unique_handle.h"

namespace veltrix {
namespace {

// Path queries get one buffer of this size and are never retried larger.
constexpr DWORD kPathBufferUnits = 32768;

}  // namespace

std::wstring RunValueData(std::wstring_view modulePath) {
  std::wstring data;
  data.reserve(modulePath.size() + 14);
  data += L'"';
  data += modulePath;
  data += L"\" --autostart";
  return data;
}

uint32_t WriteRunValue(std::wstring_view modulePath) {
  const std::wstring data = RunValueData(modulePath);
  UniqueRegistryKey key;
  LSTATUS status =
      ::RegCreateKeyExW(HKEY_CURRENT_USER, kRunKeyPath, 0, nullptr, REG_OPTION_NON_VOLATILE,
                        KEY_SET_VALUE, nullptr, key.Receive(), nullptr);
  if (status != ERROR_SUCCESS) return static_cast<uint32_t>(status);
  // The size counts the terminating zero unit.
  const DWORD bytes = static_cast<DWORD>((data.size() + 1) * sizeof(wchar_t));
  status = ::RegSetValueExW(key.Get(), kRunValueName, 0, REG_SZ,
                            reinterpret_cast<const BYTE*>(data.c_str()), bytes);
  return static_cast<uint32_t>(status);
}

uint32_t SetRunAtLogin(bool enable) {
  if (enable) {
    std::vector<wchar_t> path(kPathBufferUnits, L'\0');
    const DWORD length = ::GetModuleFileNameW(nullptr, path.data(), kPathBufferUnits);
    // A result that fills the buffer means the path was cut short.
    if (length == 0 || length >= kPathBufferUnits) return ERROR_BAD_PATHNAME;
    return WriteRunValue(std::wstring_view(path.data(), length));
  }

  UniqueRegistryKey key;
  LSTATUS status = ::RegOpenKeyExW(HKEY_CURRENT_USER, kRunKeyPath, 0, KEY_SET_VALUE, key.Receive());
  if (status == ERROR_FILE_NOT_FOUND) return ERROR_SUCCESS;
  if (status != ERROR_SUCCESS) return static_cast<uint32_t>(status);
  status = ::RegDeleteValueW(key.Get(), kRunValueName);
  if (status == ERROR_FILE_NOT_FOUND) return ERROR_SUCCESS;
  return static_cast<uint32_t>(status);
}

}  // namespace veltrix
