#ifndef DESKTOP_DESKTOP_ARGUMENTS_H_
#define DESKTOP_DESKTOP_ARGUMENTS_H_

#include <optional>
#include <string>
#include <string_view>

#include "base/connection_state.h"
#include "desktop/desktop_replies.h"
#include "diagnostics/diagnostics_fields.h"
#include "engine_client/encodable_value.h"
#include "launch/launch_results.h"
#include "locale/language.h"

namespace veltrix {

// Arguments from the user interface are checked here, against closed sets
// and narrow grammars, before any system call. Each reader takes the call's
// arguments (possibly absent) and gives the value, or nothing.

// The state whose channel name has exactly these bytes: case-sensitive, no
// trimming, no prefixes.
std::optional<ConnectionState> ParseConnectionState(std::string_view name);
// The channel name, the only external form of a state.
std::string_view ConnectionStateName(ConnectionState state);

std::optional<bool> BoolArgument(const flutter::EncodableValue* arguments);
std::optional<ConnectionState> ConnectionArgument(const flutter::EncodableValue* arguments);
// A language tag (1 to 35 letters, digits and hyphens) and the language it
// selects: English for a tag without a translation.
std::optional<Language> LanguageArgument(const flutter::EncodableValue* arguments);
// A map of exactly "path" and "sha256" (strings) and "size" (an integer).
std::optional<InstallerRequest> InstallerArgument(const flutter::EncodableValue* arguments);
// The checked fields, or the rule broken first: shape, then keys, then values
// (kDiagnosticsShape, kDiagnosticsField, kDiagnosticsValue).
Expected<DiagnosticsFields, DesktopRefusal> DiagnosticsArgument(
    const flutter::EncodableValue* arguments);

// 1 to 64 bytes of ASCII letters, digits, '+', '-' and '.'.
bool IsSafeAppVersion(std::string_view version);
// One of the eight failure categories that the user interface knows.
bool IsKnownFailureCategory(std::string_view category);

// The string stored under the string key `key`, or null when the key is
// missing or its value is not a string. The pointer refers into `map`.
const std::string* FindStringValue(const flutter::EncodableValueMap& map, const std::string& key);

}  // namespace veltrix

#endif  // DESKTOP_DESKTOP_ARGUMENTS_H_
