#ifndef LAUNCH_FILE_DIGEST_H_
#define LAUNCH_FILE_DIGEST_H_

#include <windows.h>

#include <cstdint>
#include <string>
#include <string_view>

#include "base/expected.h"

namespace veltrix {

// The SHA-256, in lower-case hexadecimal, of exactly `size` bytes read from
// the start of `file` through the handle, at most 64 KiB at a time; the file
// pointer is left after the last byte read. A file that ends early is an
// error (ERROR_HANDLE_EOF).
Win32Result<std::string> Sha256HexOfFile(HANDLE file, uint64_t size);

// Whether the file behind `file` holds exactly `expectedSize` bytes (1 to
// kMaxInstallerSize) whose SHA-256 is `expectedSha256Hex`; nothing is read
// when the size or the digest's form is wrong. An error only when the file
// could not be read.
Win32Result<bool> FileMatchesSha256(HANDLE file, uint64_t expectedSize,
                                    std::string_view expectedSha256Hex);

}  // namespace veltrix

#endif  // LAUNCH_FILE_DIGEST_H_
