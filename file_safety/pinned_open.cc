#include "file_safety/pinned_open.h"

#include "win32/last_error.h"

namespace veltrix {
namespace {

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

Win32Result<UniqueKernelHandle> OpenPinned(const std::wstring& path, PinnedObject kind) {
  const PinnedOpen open = PinnedOpenFor(kind);
  UniqueKernelHandle handle(::CreateFileW(path.c_str(), open.access, open.share, nullptr,
                                          OPEN_EXISTING, open.flags, nullptr));
  if (!handle) return LastError();
  return handle;
}

}  // namespace veltrix
