#ifndef LAUNCH_FILE_DIGEST_H_
#define LAUNCH_FILE_DIGEST_H_

#include <windows.h>

#include <cstdint>
#include <string_view>

namespace veltrix {

// True only when the file behind `file` holds exactly `expectedSize` bytes
// (1 to the largest installer accepted) whose SHA-256 is `expectedSha256Hex`
// (64 lower-case hexadecimal digits). Reads from the start through the same
// handle, at most 64 KiB at a time and never past `expectedSize`; the file
// pointer is left after the last byte read.
bool VerifyFileSha256(HANDLE file, uint64_t expectedSize, std::string_view expectedSha256Hex);

}  // namespace veltrix

#endif  // LAUNCH_FILE_DIGEST_H_
