#ifndef LAUNCH_PUBLISHER_SIGNATURE_H_
#define LAUNCH_PUBLISHER_SIGNATURE_H_

#include <windows.h>

#include <string>

namespace veltrix {

// Whether the file open as `file` (read access; `path` names it) carries a
// valid Authenticode signature whose signing certificate holds one of the
// publisher keys pinned at build time. Decided apart from whoever delivered
// the file and vouched for its digest: what runs elevated is what we
// published. No window is shown; revocation is checked from what the
// machine already holds, so an offline machine does not wait.
bool IsSignedByOurPublisher(HANDLE file, const std::wstring& path);

}  // namespace veltrix

#endif  // LAUNCH_PUBLISHER_SIGNATURE_H_
