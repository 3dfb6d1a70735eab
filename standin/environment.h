#ifndef STANDIN_ENVIRONMENT_H_
#define STANDIN_ENVIRONMENT_H_

#include <windows.h>

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

}  // namespace veltrix::standin

#endif  // STANDIN_ENVIRONMENT_H_
