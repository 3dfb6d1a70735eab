#ifndef FILE_SAFETY_FILE_IDENTITY_H_
#define FILE_SAFETY_FILE_IDENTITY_H_

#include <windows.h>

#include <string>

#include "win32/win32_result.h"

namespace veltrix {

// What an open handle is: decided from the handle, never from a path, so
// nothing can be swapped in between the check and the use.

// The normalized "\\?\X:\..." path of an open handle.
Win32Result<std::wstring> FinalPathOfHandle(HANDLE handle);

// GetFileInformationByHandle into a zero-filled record.
Win32Result<BY_HANDLE_FILE_INFORMATION> ReadFileInformation(HANDLE handle);

// A regular file on a disk, not a reparse point, with exactly one name.
bool IsPlainLocalFile(HANDLE file, const BY_HANDLE_FILE_INFORMATION& info);

// A directory that is not a reparse point.
bool IsPlainDirectory(const BY_HANDLE_FILE_INFORMATION& info);

}  // namespace veltrix

#endif  // FILE_SAFETY_FILE_IDENTITY_H_
