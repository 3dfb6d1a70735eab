#ifndef LAUNCH_FILE_IDENTITY_H_
#define LAUNCH_FILE_IDENTITY_H_

#include <windows.h>

#include <cstddef>
#include <string>
#include <string_view>

#include "win32/unique_handle.h"

namespace veltrix {

// Every buffer for a Windows path query; a query that needs more fails.
inline constexpr size_t kPathBufferUnits = 32768;

// Decodes a UTF-8 path argument, turns '/' into '\' and applies
// IsSafeLocalPath. On false *path is left empty.
bool PathFromUtf8(std::string_view text, std::wstring* path);

// The form rule for a path we may open: "X:\" followed by non-empty
// components without "." or "..", without a trailing dot or space and
// without any of the characters that select streams, wildcards or devices.
// Pure: never touches the file system.
bool IsSafeLocalPath(std::wstring_view path);

// The normalized "\\?\X:\..." path of an open handle, or empty.
std::wstring FinalPathOfHandle(HANDLE handle);

// Whole, ordinal, case-insensitive comparison; the only way paths are compared.
bool PathsEqual(std::wstring_view a, std::wstring_view b);

// A regular file on a disk, not a reparse point, with exactly one name.
bool IsPlainLocalFile(HANDLE file, const BY_HANDLE_FILE_INFORMATION& info);

// A directory that is not a reparse point.
bool IsPlainDirectory(const BY_HANDLE_FILE_INFORMATION& info);

// GetFileInformationByHandle into a zero-filled record.
bool ReadFileInformation(HANDLE handle, BY_HANDLE_FILE_INFORMATION* info);

// The objects a verified launch holds open while it decides and launches.
// None of them is ever shared for deletion, so none can be moved or replaced
// until its handle is closed.
enum class PinnedObject {
  TempFolder,           // followed if redirected: its final path is the anchor
  UpdateFolder,         // a link opens as itself and is refused
  InstallerFile,        // read for the digest; nobody else may write it
  ProtectedFolder,      // attributes and security only
  ProtectedHelperFile,  // attributes and security only; nobody else may write it
};

// Opens `path` with the access, sharing and flags of `kind`. On failure the
// result is invalid and the thread's last error tells why.
UniqueFile OpenPinned(const std::wstring& path, PinnedObject kind);

}  // namespace veltrix

#endif  // LAUNCH_FILE_IDENTITY_H_
