#include "diagnostics/save_diagnostics.h"

#include <algorithm>
#include <cwchar>
#include <string>
#include <string_view>
#include <vector>

#include "base/utf.h"
#include "diagnostics/diagnostics_report.h"
#include "file_safety/file_identity.h"
#include "file_safety/path_checks.h"
#include "win32/last_error.h"
#include "win32/system_paths.h"
#include "win32/unique_handle.h"

namespace veltrix {
namespace {

constexpr std::wstring_view kDefaultFileName = L"VELTRIX-diagnostics.txt";
constexpr std::wstring_view kTextExtension = L".txt";
// The pattern after the filter's name; a filter list ends with two zeros.
constexpr std::wstring_view kTextPattern{L"\0*.txt\0\0", 8};
constexpr wchar_t kDefaultExtension[] = L"txt";
// The dialog confirms a replacement itself and leaves our current directory
// alone. A chosen shortcut comes back as itself, not as the file it points
// to, and is refused as no text file.
constexpr DWORD kDialogFlags = OFN_EXPLORER | OFN_PATHMUSTEXIST | OFN_NOCHANGEDIR |
                               OFN_OVERWRITEPROMPT | OFN_NODEREFERENCELINKS;

// Write, reading attributes for the plain-file check, and deleting a file
// this save created but refuses.
constexpr DWORD kFileAccess = GENERIC_WRITE | FILE_READ_ATTRIBUTES | DELETE;
// A link is opened as itself so that the plain-file check sees and refuses it.
constexpr DWORD kFileFlags = FILE_ATTRIBUTE_NORMAL | FILE_FLAG_OPEN_REPARSE_POINT;

UtcTime ToUtcTime(const SYSTEMTIME& time) {
  return {time.wYear, time.wMonth, time.wDay, time.wHour, time.wMinute, time.wSecond};
}

SYSTEMTIME SystemUtcTime() {
  SYSTEMTIME now{};
  ::GetSystemTime(&now);
  return now;
}

Win32Result<bool> ShowSystemSaveDialog(OPENFILENAMEW& dialog) {
  if (::GetSaveFileNameW(&dialog)) return true;
  // No extended error: the user cancelled.
  const DWORD error = ::CommDlgExtendedError();
  if (error == 0) return false;
  return Win32Error(error);
}

// The file the user chose, none when the user cancelled.
Expected<std::optional<std::wstring>, Failure<SaveRefusal>> AskForFile(
    HWND owner, const HostTexts& texts, const DiagnosticsEnvironment& environment) {
  std::vector<wchar_t> path(kPathBufferUnits, L'\0');
  std::copy(kDefaultFileName.begin(), kDefaultFileName.end(), path.begin());
  const std::wstring filter = std::wstring(texts.textFiles).append(kTextPattern);

  OPENFILENAMEW dialog{};
  dialog.lStructSize = sizeof(dialog);
  dialog.hwndOwner = owner;
  dialog.lpstrFilter = filter.c_str();
  dialog.nFilterIndex = 0;
  dialog.lpstrFile = path.data();
  dialog.nMaxFile = kPathBufferUnits;
  dialog.lpstrTitle = texts.saveDialogTitle.data();
  dialog.Flags = kDialogFlags;
  dialog.lpstrDefExt = kDefaultExtension;

  const Win32Result<bool> chosen = environment.showSaveDialog(dialog);
  if (!chosen) return Failure(SaveRefusal::kDialogFailed, chosen.error());
  if (!*chosen) return std::optional<std::wstring>();
  return std::optional(std::wstring(path.data(), wcsnlen(path.data(), path.size())));
}

// The whole report at the start of the file, and whatever an older, longer
// file had behind it cut off.
Win32Result<> WriteReport(HANDLE file, const std::string& report) {
  const LARGE_INTEGER start{};
  if (!::SetFilePointerEx(file, start, nullptr, FILE_BEGIN)) return LastError();
  DWORD written = 0;
  const DWORD length = static_cast<DWORD>(report.size());
  // A short write fails with whatever error the system last set, even none.
  if (!::WriteFile(file, report.data(), length, &written, nullptr) || written != length) {
    return LastError();
  }
  if (!::SetEndOfFile(file)) return LastError();
  if (!::FlushFileBuffers(file)) return LastError();
  return Done{};
}

// Whether the folder that would hold `path` lies on a local disk; judged
// before anything is created in it.
Win32Result<bool> FolderIsLocal(const std::wstring& path) {
  const std::wstring folderPath = path.substr(0, path.find_last_of(L'\\') + 1);
  UniqueKernelHandle folder(::CreateFileW(folderPath.c_str(), FILE_READ_ATTRIBUTES,
                                          FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                          nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS,
                                          nullptr));
  if (!folder) return LastError();
  return IsOnLocalDisk(folder.Get());
}

DiagnosticsSave WriteReportFile(const std::wstring& path, const std::string& report) {
  const Win32Result<bool> local = FolderIsLocal(path);
  if (!local) return Failure(SaveRefusal::kSaveFailed, local.error());
  if (!*local) return Failure(SaveRefusal::kNotRegularFile);

  // No sharing: nobody else can open the file while the report goes in.
  // OPEN_ALWAYS keeps an existing file intact until it has passed the check.
  UniqueKernelHandle file(
      ::CreateFileW(path.c_str(), kFileAccess, 0, nullptr, OPEN_ALWAYS, kFileFlags, nullptr));
  if (!file) return Failure(SaveRefusal::kSaveFailed, LastError());
  const bool created = ::GetLastError() != ERROR_ALREADY_EXISTS;
  // A link swapped into the path between the dialog and the open (a
  // junction for a folder, say) leads elsewhere: the file must be the one
  // chosen, by its whole path.
  const auto finalPath = FinalPathOfHandle(file.Get());
  const auto opened = finalPath ? DriveLetterForm(*finalPath) : std::nullopt;
  if (!opened || !PathsEqual(*opened, path)) {
    if (created) MarkForDeletion(file.Get());  // the file this save created
    return Failure(SaveRefusal::kPathInvalid);
  }
  const auto info = ReadFileInformation(file.Get());
  if (!info) return Failure(SaveRefusal::kSaveFailed, info.error());
  if (!IsPlainLocalFile(file.Get(), *info)) return Failure(SaveRefusal::kNotRegularFile);
  const Win32Result<> written = WriteReport(file.Get(), report);
  if (!written) return Failure(SaveRefusal::kSaveFailed, written.error());
  return std::optional(Utf16ToUtf8(path).value_or(""));
}

}  // namespace

DiagnosticsEnvironment DefaultDiagnosticsEnvironment() {
  return {SystemUtcTime, ShowSystemSaveDialog};
}

DiagnosticsSave SaveDiagnostics(HWND owner, const DiagnosticsFields& fields, const HostTexts& texts,
                                const DiagnosticsEnvironment& environment) {
  // The time of the request, not of the moment the user confirms the dialog.
  const std::string report =
      BuildDiagnosticsReport(fields, ToUtcTime(environment.currentUtcTime()));
  const auto choice = AskForFile(owner, texts, environment);
  if (!choice) return choice.error();
  if (!*choice) return std::optional<std::string>();
  const std::wstring& path = **choice;
  if (!IsSafeLocalPath(path) || !HasExtension(path, kTextExtension))
    return Failure(SaveRefusal::kPathInvalid);
  return WriteReportFile(path, report);
}

}  // namespace veltrix
