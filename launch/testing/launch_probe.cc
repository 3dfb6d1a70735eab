// Test helper, never shipped: started as the update installer, it writes
// its module path, command line and working folder, one per line in UTF-8,
// to the file named by VELTRIX_PROBE_RECORD.
#include <windows.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

#include "base/utf.h"
#include "win32/system_paths.h"

int wmain(int, wchar_t**) {
  const wchar_t* record = _wgetenv(L"VELTRIX_PROBE_RECORD");
  if (record == nullptr) return 2;
  const std::wstring folder = std::filesystem::current_path().wstring();
  const veltrix::Win32Result<std::wstring> module = veltrix::RunningModulePath();
  // Written under another name and renamed, so a reader never sees half a record.
  const std::wstring partial = std::wstring(record) + L".partial";
  std::ofstream(std::filesystem::path(partial), std::ios::binary)
      << veltrix::Utf16ToUtf8(module ? *module : L"").value_or("") << "\n"
      << veltrix::Utf16ToUtf8(::GetCommandLineW()).value_or("") << "\n"
      << veltrix::Utf16ToUtf8(folder).value_or("") << "\n";
  return ::MoveFileExW(partial.c_str(), record, MOVEFILE_REPLACE_EXISTING) ? 0 : 3;
}
