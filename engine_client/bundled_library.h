#ifndef ENGINE_CLIENT_BUNDLED_LIBRARY_H_
#define ENGINE_CLIENT_BUNDLED_LIBRARY_H_

#include <string>

#include "base/expected.h"

namespace veltrix {

// A library of the program's folder that is missing, that Windows refuses
// to load, or that lacks a function the host calls.
struct BrokenLibrary {
  std::wstring file;
};

// `function` of the library `file` in the program's folder. The library
// stays loaded for the life of the process.
Expected<void*, BrokenLibrary> FindBundledFunction(const wchar_t* file, const char* function);

}  // namespace veltrix

#endif  // ENGINE_CLIENT_BUNDLED_LIBRARY_H_
