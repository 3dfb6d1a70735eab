#ifndef WIN32_RELATIVE_OPEN_H_
#define WIN32_RELATIVE_OPEN_H_

#include <windows.h>

#include <winternl.h>

#include <string_view>

#include "base/expected.h"
#include "win32/unique_handle.h"

namespace veltrix {

// How NtCreateFile makes or opens an object inside an open folder, in its
// own terms: FILE_CREATE or FILE_OPEN, and options such as
// FILE_DIRECTORY_FILE and FILE_OPEN_REPARSE_POINT.
struct RelativeOpen {
  ACCESS_MASK access = 0;
  ULONG share = 0;
  ULONG disposition = FILE_OPEN;
  ULONG options = 0;
  // Given at creation, so the object never exists without it. A new object's
  // handle has the access asked for whatever this descriptor grants.
  PSECURITY_DESCRIPTOR descriptor = nullptr;
};

// Makes or opens `name`, one component, in the folder `folder` is open on.
// No path is resolved above the folder, so nothing there can be swapped in.
// Handles are for synchronous use: give FILE_SYNCHRONOUS_IO_NONALERT and
// SYNCHRONIZE where the handle is read or written.
Win32Result<UniqueKernelHandle> OpenRelative(HANDLE folder, std::wstring_view name,
                                             const RelativeOpen& open);

}  // namespace veltrix

#endif  // WIN32_RELATIVE_OPEN_H_
