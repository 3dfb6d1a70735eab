#ifndef FILE_SAFETY_PINNED_OPEN_H_
#define FILE_SAFETY_PINNED_OPEN_H_

#include <string>

#include "base/expected.h"
#include "win32/unique_handle.h"

namespace veltrix {

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

// Opens `path` with the access, sharing and flags of `kind`.
Win32Result<UniqueKernelHandle> OpenPinned(const std::wstring& path, PinnedObject kind);

}  // namespace veltrix

#endif  // FILE_SAFETY_PINNED_OPEN_H_
