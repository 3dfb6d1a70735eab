#include "diagnostics/save_diagnostics.h"

#include <algorithm>
#include <cwchar>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

#include "diagnostics/diagnostics_report.h"
#include "file_safety/file_identity.h"
#include "file_safety/path_checks.h"
#include "win32/system_paths.h"
#include "win32/unique_handle.h"
#include "win32/wide_to_utf8.h"

namespace veltrix {
namespace {

constexpr std::wstring_view kDefaultFileName = L"VELTRIX-diagnostics.txt";
constexpr std::wstring_view kTextExtension = L".txt";
// One filter; the literal's own terminator supplies the second closing zero.
constexpr wchar_t kTextFilter[] = L"Text files (*.txt)\0*.txt\0";
constexpr wchar_t kDefaultExtension[] = L"txt";
// The dialog confirms a replacement itself and leaves our current directory alone.
constexpr DWORD kDialogFlags =
    OFN_EXPLORER | OFN_PATHMUSTEXIST | OFN_NOCHANGEDIR | OFN_OVERWRITEPROMPT;

// Write, plus reading attributes for the plain-file check.
constexpr DWORD kFileAccess = GENERIC_WRITE | FILE_READ_ATTRIBUTES;
// A link is opened as itself so that the plain-file check sees and refuses it.
constexpr DWORD kFileFlags = FILE_ATTRIBUTE_NORMAL | FILE_FLAG_OPEN_REPARSE_POINT;

bool HasTextExtension(std::wstring_view path) {
  return path.size() >= kTextExtension.size() &&
         PathsEqual(path.substr(path.size() - kTextExtension.size()), kTextExtension);
}

UtcTime ToUtcTime(const SYSTEMTIME& time) {
  return {time.wYear, time.wMonth, time.wDay, time.wHour, time.wMinute, time.wSecond};
}

SYSTEMTIME SystemUtcTime() {
  SYSTEMTIME now{};
  ::GetSystemTime(&now);
  return now;
}

SaveDialogOutcome ShowSystemSaveDialog(OPENFILENAMEW& dialog) {
  if (::GetSaveFileNameW(&dialog)) return {true, 0};
  return {false, ::CommDlgExtendedError()};
}

// The file the user chose, or how the dialog ended without one.
std::variant<std::wstring, OperationResult> AskForFile(HWND owner,
                                                       const DiagnosticsEnvironment& environment) {
  std::vector<wchar_t> path(kPathBufferUnits, L'\0');
  std::copy(kDefaultFileName.begin(), kDefaultFileName.end(), path.begin());

  OPENFILENAMEW dialog{};
  dialog.lStructSize = sizeof(dialog);
  dialog.hwndOwner = owner;
  dialog.lpstrFilter = kTextFilter;
  dialog.nFilterIndex = 0;
  dialog.lpstrFile = path.data();
  dialog.nMaxFile = kPathBufferUnits;
  dialog.lpstrTitle = kSaveDialogTitle;
  dialog.Flags = kDialogFlags;
  dialog.lpstrDefExt = kDefaultExtension;

  const SaveDialogOutcome outcome = environment.showSaveDialog(dialog);
  if (outcome.chosen) return std::wstring(path.data(), wcsnlen(path.data(), path.size()));
  // No extended error: the user cancelled.
  if (outcome.extendedError == 0) return OperationResult{Outcome::kDiagnosticsCancelled};
  return OperationResult{Outcome::kDiagnosticsDialogFailed, outcome.extendedError};
}

// The whole report at the start of the file, and whatever an older, longer
// file had behind it cut off.
Win32Result<> WriteReport(HANDLE file, const std::string& report) {
  const LARGE_INTEGER start{};
  if (!::SetFilePointerEx(file, start, nullptr, FILE_BEGIN)) return Win32Error{::GetLastError()};
  DWORD written = 0;
  const DWORD length = static_cast<DWORD>(report.size());
  // A short write fails with whatever error the system last set, even none.
  if (!::WriteFile(file, report.data(), length, &written, nullptr) || written != length) {
    return Win32Error{::GetLastError()};
  }
  if (!::SetEndOfFile(file)) return Win32Error{::GetLastError()};
  if (!::FlushFileBuffers(file)) return Win32Error{::GetLastError()};
  return Done{};
}

OperationResult WriteReportFile(const std::wstring& path, const std::string& report) {
  // No sharing: nobody else can open the file while the report goes in.
  // OPEN_ALWAYS keeps an existing file intact until it has passed the check.
  UniqueKernelHandle file(
      ::CreateFileW(path.c_str(), kFileAccess, 0, nullptr, OPEN_ALWAYS, kFileFlags, nullptr));
  if (!file) return {Outcome::kDiagnosticsSaveFailed, ::GetLastError()};
  const auto info = ReadFileInformation(file.Get());
  if (!info) return {Outcome::kDiagnosticsSaveFailed, info.error()};
  if (!IsPlainLocalFile(file.Get(), *info)) return {Outcome::kDiagnosticsNotRegularFile};
  const Win32Result<> written = WriteReport(file.Get(), report);
  if (!written) return {Outcome::kDiagnosticsSaveFailed, written.error()};
  return {Outcome::kDiagnosticsSaved, 0, WideToUtf8(path.c_str())};
}

}  // namespace

const DiagnosticsEnvironment& SystemDiagnosticsEnvironment() {
  static const DiagnosticsEnvironment environment{SystemUtcTime, ShowSystemSaveDialog};
  return environment;
}

OperationResult SaveDiagnostics(HWND owner, const DiagnosticsFields& fields,
                                const DiagnosticsEnvironment& environment) {
  // The time of the request, not of the moment the user confirms the dialog.
  const std::string report =
      BuildDiagnosticsReport(fields, ToUtcTime(environment.currentUtcTime()));
  const auto choice = AskForFile(owner, environment);
  if (const auto* ended = std::get_if<OperationResult>(&choice)) return *ended;
  const std::wstring& path = std::get<std::wstring>(choice);
  if (!IsSafeLocalPath(path) || !HasTextExtension(path)) {
    return {Outcome::kDiagnosticsPathInvalid};
  }
  return WriteReportFile(path, report);
}

}  // namespace veltrix
