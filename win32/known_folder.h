#ifndef WIN32_KNOWN_FOLDER_H_
#define WIN32_KNOWN_FOLDER_H_

#include <windows.h>

#include <string>

#include "base/expected.h"

namespace veltrix {

// The path of a known folder (FOLDERID_...) for the current user.
Win32Result<std::wstring> KnownFolderPath(const GUID& folder);

}  // namespace veltrix

#endif  // WIN32_KNOWN_FOLDER_H_
