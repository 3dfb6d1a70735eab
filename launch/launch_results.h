#ifndef LAUNCH_LAUNCH_RESULTS_H_
#define LAUNCH_LAUNCH_RESULTS_H_

#include <cstdint>
#include <string>
#include <string_view>

#include "base/expected.h"
#include "base/hex.h"

namespace veltrix {

// What the verified launches take and how they end, free of Windows types
// so that the desktop channel can name them in both builds.

// Largest update installer accepted (512 MiB).
inline constexpr uint64_t kMaxInstallerSize = 0x20000000;

// The downloaded release to start, as the user interface described it:
// path and digest as received, size from 1 to kMaxInstallerSize.
struct InstallerRequest {
  std::string path;
  std::string sha256;
  uint64_t size = 0;
};

// A SHA-256 as the release describes it: 64 lower-case hexadecimal digits.
inline bool IsSha256Hex(std::string_view text) { return IsLowerHex(text, 64); }

enum class InstallerRefusal {
  kPathInvalid,   // not a usable local path, or no temporary folder
  kElsewhere,     // not the one place an installer may lie
  kUnavailable,   // could not be opened or read (with the Windows error)
  kUnsafe,        // a link, a device, a remote file or company in its folder
  kMismatch,      // other bytes than the release's
  kCancelled,     // the user said no at the elevation prompt
  kLaunchFailed,  // the shell could not start it (with the Windows error)
};
using InstallerLaunch = Expected<Done, Failure<InstallerRefusal>>;

enum class RepairRefusal {
  kNotInstalled,  // this program is not the installed one
  kUnprotected,   // a folder or the helper could be changed by others
  kCancelled,
  kLaunchFailed,
};
using RepairLaunch = Expected<Done, Failure<RepairRefusal>>;

}  // namespace veltrix

#endif  // LAUNCH_LAUNCH_RESULTS_H_
