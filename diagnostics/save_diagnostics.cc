#include "diagnostics/save_diagnostics.h"

#include <algorithm>
#include <cwchar>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "desktop/desktop_reply.h"
#include "diagnostics/diagnostics_report.h"
#include "launch/file_identity.h"
#include "win32/unique_handle.h"
#include "win32/wide_to_utf8.h"

namespace veltrix {
namespace {

constexpr std::wstring_view kDefaultFileName = L"VELTRIX-diagnostics.txt";
constexpr std::wstring_view kTextExtension = L".txt";
// One filter; the literal's own terminator supplies the second closing zero.
constexpr wchar_t kTextFilter[] = L"Text files (*.txt)\0*.txt\0";
constexpr wchar_t kDialogTitle[] = L"Save VELTRIX diagnostics";
constexpr wchar_t kDefaultExtension[] = L"txt";
// The dialog confirms a replacement itself and leaves our current directory alone.
constexpr DWORD kDialogFlags =
    OFN_EXPLORER | OFN_PATHMUSTEXIST | OFN_NOCHANGEDIR | OFN_OVERWRITEPROMPT;

// Write, plus reading attributes for the plain-file check.
constexpr DWORD kFileAccess = GENERIC_WRITE | FILE_READ_ATTRIBUTES;
// A link is opened as itself so that the plain-file check sees and refuses it.
constexpr DWORD kFileFlags = FILE_ATTRIBUTE_NORMAL | FILE_FLAG_OPEN_REPARSE_POINT;

void ReplySaveFailed(flutter::MethodResult& result, DWORD error) {
  ReplyWin32Error(result, "diagnostics_save_failed", "Could not save diagnostics.", error);
}

bool HasTextExtension(std::wstring_view path) {
  if (path.size() < kTextExtension.size()) return false;
  const std::wstring_view tail = path.substr(path.size() - kTextExtension.size());
  return CompareStringOrdinal(tail.data(), static_cast<int>(tail.size()), kTextExtension.data(),
                              static_cast<int>(kTextExtension.size()), TRUE) == CSTR_EQUAL;
}

UtcTime ToUtcTime(const SYSTEMTIME& time) {
  return {time.wYear, time.wMonth, time.wDay, time.wHour, time.wMinute, time.wSecond};
}

SYSTEMTIME SystemUtcTime() {
  SYSTEMTIME now{};
  GetSystemTime(&now);
  return now;
}

SaveDialogOutcome ShowSystemSaveDialog(OPENFILENAMEW& dialog) {
  if (GetSaveFileNameW(&dialog)) return {true, 0};
  return {false, CommDlgExtendedError()};
}

// Writes the whole report at the start of the file and cuts whatever an
// older, longer file had behind it. Nothing on success, else the last error
// after the failing step (which for a short write may even be 0).
std::optional<DWORD> WriteReport(HANDLE file, const std::string& report) {
  LARGE_INTEGER start{};
  if (!SetFilePointerEx(file, start, nullptr, FILE_BEGIN)) return GetLastError();
  DWORD written = 0;
  const DWORD length = static_cast<DWORD>(report.size());
  if (!WriteFile(file, report.data(), length, &written, nullptr) || written != length) {
    return GetLastError();
  }
  if (!SetEndOfFile(file)) return GetLastError();
  if (!FlushFileBuffers(file)) return GetLastError();
  return std::nullopt;
}

}  // namespace

const DiagnosticsEnvironment& SystemDiagnosticsEnvironment() {
  static const DiagnosticsEnvironment environment{SystemUtcTime, ShowSystemSaveDialog};
  return environment;
}

void SaveDiagnostics(HWND owner, const flutter::EncodableValue* arguments,
                     flutter::MethodResult& result) {
  SaveDiagnosticsWith(owner, arguments, result, SystemDiagnosticsEnvironment());
}

void SaveDiagnosticsWith(HWND owner, const flutter::EncodableValue* arguments,
                         flutter::MethodResult& result, const DiagnosticsEnvironment& environment) {
  const DiagnosticsFieldsCheck check = CheckDiagnosticsFields(arguments);
  if (!check.fields) {
    ReplyError(result, "invalid_arguments", std::string(check.errorMessage));
    return;
  }
  // The time of the request, not of the moment the user confirms the dialog.
  const std::string report =
      BuildDiagnosticsReport(*check.fields, ToUtcTime(environment.currentUtcTime()));

  std::vector<wchar_t> pathBuffer(kPathBufferUnits, L'\0');
  std::copy(kDefaultFileName.begin(), kDefaultFileName.end(), pathBuffer.begin());

  OPENFILENAMEW dialog{};
  dialog.lStructSize = sizeof(dialog);
  dialog.hwndOwner = owner;
  dialog.lpstrFilter = kTextFilter;
  dialog.nFilterIndex = 0;
  dialog.lpstrFile = pathBuffer.data();
  dialog.nMaxFile = static_cast<DWORD>(kPathBufferUnits);
  dialog.lpstrTitle = kDialogTitle;
  dialog.Flags = kDialogFlags;
  dialog.lpstrDefExt = kDefaultExtension;

  const SaveDialogOutcome outcome = environment.showSaveDialog(dialog);
  if (!outcome.chosen) {
    if (outcome.extendedError == 0) {
      result.Success();  // Cancelled: nothing to report.
    } else {
      ReplyWin32Error(result, "diagnostics_dialog_failed", "Could not open Save As.",
                      outcome.extendedError);
    }
    return;
  }

  const std::wstring path(pathBuffer.data(), wcsnlen(pathBuffer.data(), pathBuffer.size()));
  if (!IsSafeLocalPath(path) || !HasTextExtension(path)) {
    ReplyError(result, "invalid_diagnostics_path", "Choose a local .txt file.");
    return;
  }

  // No sharing: nobody else can open the file while the report goes in.
  // OPEN_ALWAYS keeps an existing file intact until it has passed the check.
  UniqueFile file(
      CreateFileW(path.c_str(), kFileAccess, 0, nullptr, OPEN_ALWAYS, kFileFlags, nullptr));
  if (!file) {
    ReplySaveFailed(result, GetLastError());
    return;
  }
  BY_HANDLE_FILE_INFORMATION info{};
  if (!GetFileInformationByHandle(file.Get(), &info)) {
    ReplySaveFailed(result, GetLastError());
    return;
  }
  if (!IsPlainLocalFile(file.Get(), info)) {
    ReplyError(result, "invalid_diagnostics_path", "Choose a regular local .txt file.");
    return;
  }
  if (const std::optional<DWORD> error = WriteReport(file.Get(), report)) {
    ReplySaveFailed(result, *error);
    return;
  }
  result.Success(flutter::EncodableValue(WideToUtf8(path.c_str())));
  // `file` closes here, after the answer.
}

}  // namespace veltrix
