// The engine library, flutter_windows.dll, bound at run time from the
// program's own folder. The host's calls of the engine's C interface go
// through here, so a missing or damaged library is found before the first
// call and told to the user, instead of the loader's generic box.
#ifndef ENGINE_CLIENT_ENGINE_LIBRARY_H_
#define ENGINE_CLIENT_ENGINE_LIBRARY_H_

#include "base/expected.h"
#include "engine_client/bundled_library.h"

namespace veltrix {

inline constexpr wchar_t kEngineLibraryFile[] = L"flutter_windows.dll";

// Loads the engine library and binds every engine call, once per process;
// later calls answer the first result. An engine call made before it loads
// the library then; one made after a failed load ends the process.
Expected<Done, BrokenLibrary> LoadEngineLibrary();

}  // namespace veltrix

#endif  // ENGINE_CLIENT_ENGINE_LIBRARY_H_
