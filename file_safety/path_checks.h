#ifndef FILE_SAFETY_PATH_CHECKS_H_
#define FILE_SAFETY_PATH_CHECKS_H_

#include <optional>
#include <string>
#include <string_view>

namespace veltrix {

// Decodes a UTF-8 path argument, turns '/' into '\' and applies
// IsSafeLocalPath; nothing when any of that fails.
std::optional<std::wstring> PathFromUtf8(std::string_view text);

// The form rule for a path we may open: "X:\" followed by non-empty
// components without "." or "..", without a trailing dot or space, without
// any of the characters that select streams or wildcards, and none of them a
// device name (NUL, CON.txt, com1). Pure: never touches the file system.
bool IsSafeLocalPath(std::wstring_view path);

// Whole, ordinal, case-insensitive comparison; the only way paths are compared.
bool PathsEqual(std::wstring_view a, std::wstring_view b);

// Whether `path` ends with `extension` (".txt"), in any letter case.
bool HasExtension(std::wstring_view path, std::wstring_view extension);

}  // namespace veltrix

#endif  // FILE_SAFETY_PATH_CHECKS_H_
