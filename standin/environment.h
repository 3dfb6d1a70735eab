#ifndef STANDIN_ENVIRONMENT_H_
#define STANDIN_ENVIRONMENT_H_

#include <windows.h>

#include <cstdio>
#include <string>

#include "win32/system_paths.h"

namespace veltrix::standin {

// The value of an environment variable; empty when it is unset or too long.
inline std::wstring EnvironmentValue(const wchar_t* name) {
  std::wstring value(kPathBufferUnits, L'\0');
  DWORD length = ::GetEnvironmentVariableW(name, value.data(), static_cast<DWORD>(value.size()));
  if (length == 0 || length >= value.size()) return std::wstring();
  value.resize(length);
  return value;
}

// The module (the stand-in engine's DLL, or the UI module's) that holds
// `address`, for the window classes each registers.
inline HINSTANCE ModuleContaining(const void* address) {
  HMODULE module = nullptr;
  ::GetModuleHandleExW(
      GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS | GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
      static_cast<LPCWSTR>(address), &module);
  return module;
}

// Appends `line` and a newline to the transcript file named by
// VELTRIX_UI_TRANSCRIPT; nothing when it is unset.
inline void AppendToTranscriptFile(const std::string& line) {
  const std::wstring path = EnvironmentValue(L"VELTRIX_UI_TRANSCRIPT");
  if (path.empty()) return;
  std::FILE* file = ::_wfopen(path.c_str(), L"ab");
  if (file == nullptr) return;
  std::fwrite(line.data(), 1, line.size(), file);
  std::fputc('\n', file);
  std::fclose(file);
}

}  // namespace veltrix::standin

#endif  // STANDIN_ENVIRONMENT_H_
