#include "launch/file_identity.h"

#include <climits>
#include <cstring>
#include <utility>
#include <vector>

namespace veltrix {
namespace {

constexpr size_t kMaxPathTextBytes = 0x1FFFC;
constexpr size_t kMinSafePathUnits = 4;
constexpr size_t kMaxSafePathUnits = 32766;

bool IsAsciiLetter(wchar_t c) { return (c >= L'A' && c <= L'Z') || (c >= L'a' && c <= L'z'); }

bool IsForbiddenUnit(wchar_t c) {
  if (c <= 0x1F) return true;
  switch (c) {
    case L'"':
    case L'*':
    case L'/':
    case L':':
    case L'<':
    case L'>':
    case L'?':
    case L'|':
      return true;
    default:
      return false;
  }
}

bool IsAcceptableComponent(std::wstring_view component) {
  if (component.empty() || component == L"." || component == L"..") return false;
  wchar_t last = component.back();
  return last != L'.' && last != L' ';
}

struct PinnedOpen {
  DWORD access;
  DWORD share;
  DWORD flags;
};

// Only opens that carry a data right (reading, writing, executing) or DELETE
// take part in sharing checks; an open for attributes and security alone
// would not stop anybody from deleting, moving or writing the object. So
// every row also asks for the harmless right to read (or list) it.
PinnedOpen PinnedOpenFor(PinnedObject kind) {
  constexpr DWORD kFolderShare = FILE_SHARE_READ | FILE_SHARE_WRITE;
  switch (kind) {
    case PinnedObject::TempFolder:
      return {FILE_LIST_DIRECTORY | FILE_READ_ATTRIBUTES, kFolderShare, FILE_FLAG_BACKUP_SEMANTICS};
    case PinnedObject::UpdateFolder:
      return {FILE_LIST_DIRECTORY | FILE_READ_ATTRIBUTES, kFolderShare,
              FILE_FLAG_BACKUP_SEMANTICS | FILE_FLAG_OPEN_REPARSE_POINT};
    case PinnedObject::InstallerFile:
      return {GENERIC_READ, FILE_SHARE_READ, FILE_FLAG_OPEN_REPARSE_POINT};
    case PinnedObject::ProtectedFolder:
      return {READ_CONTROL | FILE_LIST_DIRECTORY | FILE_READ_ATTRIBUTES, kFolderShare,
              FILE_FLAG_BACKUP_SEMANTICS | FILE_FLAG_OPEN_REPARSE_POINT};
    case PinnedObject::ProtectedHelperFile:
      return {READ_CONTROL | FILE_READ_DATA | FILE_READ_ATTRIBUTES, FILE_SHARE_READ,
              FILE_FLAG_OPEN_REPARSE_POINT};
  }
  // Not reached for a valid kind; an open that grants nothing.
  return {0, 0, 0};
}

}  // namespace

bool PathFromUtf8(std::string_view text, std::wstring* path) {
  path->clear();
  if (text.empty() || text.size() > kMaxPathTextBytes) return false;
  if (std::memchr(text.data(), 0, text.size()) != nullptr) return false;

  const int bytes = static_cast<int>(text.size());
  const int units =
      ::MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, text.data(), bytes, nullptr, 0);
  if (units <= 0 || units >= 32767) return false;

  std::wstring converted(static_cast<size_t>(units), L'\0');
  if (::MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, text.data(), bytes, converted.data(),
                            units) == 0) {
    return false;
  }
  for (wchar_t& unit : converted) {
    if (unit == L'/') unit = L'\\';
  }
  if (!IsSafeLocalPath(converted)) return false;
  *path = std::move(converted);
  return true;
}

bool IsSafeLocalPath(std::wstring_view path) {
  if (path.size() < kMinSafePathUnits || path.size() > kMaxSafePathUnits) return false;
  if (!IsAsciiLetter(path[0]) || path[1] != L':' || path[2] != L'\\') return false;

  const std::wstring_view rest = path.substr(3);
  for (wchar_t unit : rest) {
    if (IsForbiddenUnit(unit)) return false;
  }
  // Splitting at every '\' also catches a doubled and a trailing separator,
  // both of which leave an empty component.
  size_t start = 0;
  while (true) {
    const size_t end = rest.find(L'\\', start);
    const std::wstring_view component =
        rest.substr(start, end == std::wstring_view::npos ? std::wstring_view::npos : end - start);
    if (!IsAcceptableComponent(component)) return false;
    if (end == std::wstring_view::npos) break;
    start = end + 1;
  }
  return path.back() != L'\\';
}

std::wstring FinalPathOfHandle(HANDLE handle) {
  std::vector<wchar_t> buffer(kPathBufferUnits, L'\0');
  const DWORD length =
      ::GetFinalPathNameByHandleW(handle, buffer.data(), static_cast<DWORD>(buffer.size()), 0);
  if (length < 1 || length > kPathBufferUnits - 1) return std::wstring();
  return std::wstring(buffer.data(), length);
}

bool PathsEqual(std::wstring_view a, std::wstring_view b) {
  if (a.size() > INT_MAX || b.size() > INT_MAX) return false;
  return ::CompareStringOrdinal(a.data(), static_cast<int>(a.size()), b.data(),
                                static_cast<int>(b.size()), TRUE) == CSTR_EQUAL;
}

bool IsPlainLocalFile(HANDLE file, const BY_HANDLE_FILE_INFORMATION& info) {
  if ((info.dwFileAttributes & (FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_REPARSE_POINT)) != 0) {
    return false;
  }
  if (info.nNumberOfLinks != 1) return false;
  return ::GetFileType(file) == FILE_TYPE_DISK;
}

bool IsPlainDirectory(const BY_HANDLE_FILE_INFORMATION& info) {
  return (info.dwFileAttributes & (FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_REPARSE_POINT)) ==
         FILE_ATTRIBUTE_DIRECTORY;
}

bool ReadFileInformation(HANDLE handle, BY_HANDLE_FILE_INFORMATION* info) {
  *info = BY_HANDLE_FILE_INFORMATION{};
  return ::GetFileInformationByHandle(handle, info) != FALSE;
}

UniqueFile OpenPinned(const std::wstring& path, PinnedObject kind) {
  const PinnedOpen open = PinnedOpenFor(kind);
  return UniqueFile(::CreateFileW(path.c_str(), open.access, open.share, nullptr, OPEN_EXISTING,
                                  open.flags, nullptr));
}

}  // namespace veltrix
