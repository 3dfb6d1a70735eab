// Test helper, never shipped: started as the update installer, it writes
// its module path, command line and working folder, one per line in UTF-8,
// to the file named by VELTRIX_PROBE_RECORD.
#include <windows.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

#include "win32/system_paths.h"
#include "win32/wide_to_utf8.h"

int wmain(int, wchar_t**) {
  const wchar_t* record = _wgetenv(L"VELTRIX_PROBE_RECORD");
  if (record == nullptr) return 2;
  const std::wstring folder = std::filesystem::current_path().wstring();
  const veltrix::Win32Result<std::wstring> module = veltrix::RunningModulePath();
  // Written under another name and renamed, so a reader never sees half a record.
  const std::wstring partial = std::wstring(record) + L".partial";
  std::ofstream(std::filesystem::path(partial), std::ios::binary)
      << veltrix::WideToUtf8(module ? module->c_str() : L"") << "\n"
      << veltrix::WideToUtf8(::GetCommandLineW()) << "\n"
      << veltrix::WideToUtf8(folder.c_str()) << "\n";
  return ::MoveFileExW(partial.c_str(), record, MOVEFILE_REPLACE_EXISTING) ? 0 : 3;
}
