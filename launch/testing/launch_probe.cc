// Test helper, never shipped. Two roles:
//  * started as an installer or helper (any arguments but the one below), it
//    writes its module path, command line and working folder, one per line in
//    UTF-8, to the file named by VELTRIX_PROBE_RECORD;
//  * "--repair-probe" runs the service repair from wherever this copy sits
//    and prints the outcome's number, so a test can place it as the
//    installed program.

#include <windows.h>

#include <cstdio>
#include <string>
#include <vector>

#include "launch/service_repair_launch.h"
#include "win32/system_paths.h"
#include "win32/wide_to_utf8.h"

namespace {

int Record() {
  std::vector<wchar_t> recordPath(veltrix::kPathBufferUnits, L'\0');
  if (::GetEnvironmentVariableW(L"VELTRIX_PROBE_RECORD", recordPath.data(),
                                veltrix::kPathBufferUnits) == 0) {
    return 2;
  }
  std::vector<wchar_t> folder(veltrix::kPathBufferUnits, L'\0');
  ::GetCurrentDirectoryW(veltrix::kPathBufferUnits, folder.data());
  const veltrix::Win32Result<std::wstring> module = veltrix::RunningModulePath();

  const std::string text = veltrix::WideToUtf8(module ? module->c_str() : L"") + "\n" +
                           veltrix::WideToUtf8(::GetCommandLineW()) + "\n" +
                           veltrix::WideToUtf8(folder.data()) + "\n";
  // Written under another name and renamed, so a reader never sees half a record.
  const std::wstring partial = std::wstring(recordPath.data()) + L".partial";
  HANDLE file = ::CreateFileW(partial.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) return 3;
  DWORD written = 0;
  ::WriteFile(file, text.data(), static_cast<DWORD>(text.size()), &written, nullptr);
  ::CloseHandle(file);
  return ::MoveFileExW(partial.c_str(), recordPath.data(), MOVEFILE_REPLACE_EXISTING) ? 0 : 4;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
  if (argc == 2 && std::wstring(argv[1]) == L"--repair-probe") {
    const veltrix::OperationResult result = veltrix::LaunchServiceRepair(nullptr);
    std::printf("%d\n", static_cast<int>(result.outcome));
    std::fflush(stdout);
    return 0;
  }
  return Record();
}
