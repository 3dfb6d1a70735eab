#ifndef FILE_SAFETY_FILE_IDENTITY_H_
#define FILE_SAFETY_FILE_IDENTITY_H_

#include <windows.h>

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "base/expected.h"

namespace veltrix {

// What an open handle is: decided from the handle, never from a path, so
// nothing can be swapped in between the check and the use.

// The normalized "\\?\X:\..." path of an open handle.
Win32Result<std::wstring> FinalPathOfHandle(HANDLE handle);

// The ordinary "X:\..." form of a final path on a drive letter; nothing for
// any other form (a share's "\\?\UNC\...", a volume name).
std::optional<std::wstring> DriveLetterForm(std::wstring_view finalPath);

// GetFileInformationByHandle into a zero-filled record.
Win32Result<BY_HANDLE_FILE_INFORMATION> ReadFileInformation(HANDLE handle);

// The names in an open folder (without "." and ".."), read through the
// handle. The folder must be open with FILE_LIST_DIRECTORY.
Win32Result<std::vector<std::wstring>> FolderEntries(HANDLE folder);

// A disk that no network redirector serves, from the file type and the
// device characteristics the system reports for an open object.
bool IsLocalDisk(DWORD fileType, ULONG deviceCharacteristics);

// Deletes the object once its last handle is closed; the handle must have
// been opened with DELETE. Through the handle, so never another object.
void MarkForDeletion(HANDLE object);

// An open object on a disk that no network redirector serves.
bool IsOnLocalDisk(HANDLE object);

// A regular file on a local disk, not a reparse point, with exactly one
// name, whose final path is on a drive letter.
bool IsPlainLocalFile(HANDLE file, const BY_HANDLE_FILE_INFORMATION& info);

// A directory that is not a reparse point.
bool IsPlainDirectory(const BY_HANDLE_FILE_INFORMATION& info);

}  // namespace veltrix

#endif  // FILE_SAFETY_FILE_IDENTITY_H_
