#ifndef DESKTOP_DESKTOP_ARGUMENTS_H_
#define DESKTOP_DESKTOP_ARGUMENTS_H_

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <variant>

#include "desktop/connection_state.h"
#include "desktop/desktop_outcome.h"
#include "engine_client/encodable_value.h"

namespace veltrix {

// Arguments from the user interface are checked here, against closed sets
// and narrow grammars, before any system call. Each reader takes the call's
// arguments (possibly absent) and gives the value, or nothing.

// Largest update installer the user interface may hand over (512 MiB).
inline constexpr uint64_t kMaxInstallerSize = 0x20000000;

// The downloaded release the user interface asks the host to start, as it
// described it: path and digest as received, size from 1 to kMaxInstallerSize.
struct InstallerRequest {
  std::string path;
  std::string sha256;
  uint64_t size = 0;
};

// The fields of a diagnostics report; an absent optional field is written
// as its default.
struct DiagnosticsFields {
  ConnectionState connection = ConnectionState::Disconnected;
  std::optional<std::string> appVersion;
  std::optional<std::string> failureCategory;
};

std::optional<bool> BoolArgument(const flutter::EncodableValue* arguments);
std::optional<ConnectionState> ConnectionArgument(const flutter::EncodableValue* arguments);
// A map of exactly "path" and "sha256" (strings) and "size" (an integer).
std::optional<InstallerRequest> InstallerArgument(const flutter::EncodableValue* arguments);
// The checked fields, or the rule broken first: shape, then keys, then values
// (kDiagnosticsShape, kDiagnosticsField, kDiagnosticsValue).
std::variant<DiagnosticsFields, Outcome> DiagnosticsArgument(
    const flutter::EncodableValue* arguments);

// Exactly 64 bytes of lower-case hexadecimal.
bool IsSha256Hex(std::string_view text);
// 1 to 64 bytes of ASCII letters, digits, '+', '-' and '.'.
bool IsSafeAppVersion(std::string_view version);
// One of the eight failure categories that the user interface knows.
bool IsKnownFailureCategory(std::string_view category);

// The string stored under the string key `key`, or null when the key is
// missing or its value is not a string. The pointer refers into `map`.
const std::string* FindStringValue(const flutter::EncodableValueMap& map, const std::string& key);

}  // namespace veltrix

#endif  // DESKTOP_DESKTOP_ARGUMENTS_H_
