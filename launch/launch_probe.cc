// Test helper, never shipped. Two roles:
//  * started as an installer or helper (any arguments but the one below), it
//    writes its module path, command line and working folder, one per line in
//    UTF-8, to the file named by VELTRIX_PROBE_RECORD;
//  * "--repair-probe" runs the service repair from wherever this copy sits
//    and prints the reply, so a test can place it as the installed program.

#include <windows.h>

#include <cstdio>
#include <string>
#include <vector>

#include "engine_client/method_result.h"
#include "launch/service_repair_launch.h"
#include "win32/wide_to_utf8.h"

namespace {

class PrintingResult : public flutter::MethodResult {
 protected:
  void OnSuccess(const flutter::EncodableValue*) override { std::printf("success\n"); }
  void OnError(const std::string& code, const std::string& message,
               const flutter::EncodableValue*) override {
    std::printf("%s|%s\n", code.c_str(), message.c_str());
  }
  void OnNotImplemented() override { std::printf("not_implemented\n"); }
};

int Record() {
  std::vector<wchar_t> recordPath(32768, L'\0');
  if (::GetEnvironmentVariableW(L"VELTRIX_PROBE_RECORD", recordPath.data(), 32768) == 0) return 2;
  std::vector<wchar_t> module(32768, L'\0');
  ::GetModuleFileNameW(nullptr, module.data(), 32768);
  std::vector<wchar_t> folder(32768, L'\0');
  ::GetCurrentDirectoryW(32768, folder.data());

  const std::string text = veltrix::WideToUtf8(module.data()) + "\n" +
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
    PrintingResult result;
    veltrix::LaunchServiceRepair(nullptr, result);
    std::fflush(stdout);
    return 0;
  }
  return Record();
}
