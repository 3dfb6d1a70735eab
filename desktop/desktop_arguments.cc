#include "desktop/desktop_arguments.h"

#include "locale/language_tag.h"

#include <algorithm>
#include <array>

namespace veltrix {
namespace {

using flutter::EncodableValue;
using flutter::EncodableValueMap;

constexpr char kAppVersionKey[] = "appVersion";
constexpr char kConnectionStateKey[] = "connectionState";
constexpr char kFailureCategoryKey[] = "failureCategory";
constexpr size_t kMaxDiagnosticsFields = 3;
constexpr size_t kMaxAppVersionLength = 64;

// The channel's names of the connection states, in the states' order.
constexpr std::array<std::string_view, 6> kConnectionNames = {
    "disconnected", "connecting", "connected", "reconnecting", "disconnecting", "error",
};
static_assert(static_cast<size_t>(ConnectionState::Error) == kConnectionNames.size() - 1);

constexpr std::array<std::string_view, 8> kFailureCategories = {
    "none",
    "permissionDenied",
    "networkUnavailable",
    "serverUnavailable",
    "authenticationRequired",
    "configurationUnavailable",
    "connectionTimeout",
    "internalError",
};

const EncodableValueMap* MapArgument(const EncodableValue* arguments) {
  return arguments != nullptr ? std::get_if<EncodableValueMap>(arguments) : nullptr;
}

bool HoldsKey(const EncodableValueMap& map, const char* key) {
  return map.find(EncodableValue(key)) != map.end();
}

bool IsDiagnosticsKey(const EncodableValue& key) {
  const auto* name = std::get_if<std::string>(&key);
  return name != nullptr &&
         (*name == kAppVersionKey || *name == kConnectionStateKey || *name == kFailureCategoryKey);
}

// An optional field: absent is fine; present, it must be a string that
// passes `check` (a non-string value is a bad value, not a missing field).
bool ReadOptionalField(const EncodableValueMap& map, const char* key,
                       bool (*check)(std::string_view), std::optional<std::string>* field) {
  if (!HoldsKey(map, key)) return true;
  const std::string* value = FindStringValue(map, key);
  if (value == nullptr || !check(*value)) return false;
  *field = *value;
  return true;
}

}  // namespace

std::optional<ConnectionState> ParseConnectionState(std::string_view name) {
  for (size_t i = 0; i < kConnectionNames.size(); ++i) {
    if (kConnectionNames[i] == name) return static_cast<ConnectionState>(i);
  }
  return std::nullopt;
}

std::string_view ConnectionStateName(ConnectionState state) {
  return kConnectionNames[static_cast<size_t>(state)];
}

std::optional<bool> BoolArgument(const EncodableValue* arguments) {
  if (arguments == nullptr) return std::nullopt;
  if (const bool* value = std::get_if<bool>(arguments)) return *value;
  return std::nullopt;
}

std::optional<ConnectionState> ConnectionArgument(const EncodableValue* arguments) {
  const auto* name = arguments != nullptr ? std::get_if<std::string>(arguments) : nullptr;
  if (name == nullptr) return std::nullopt;
  return ParseConnectionState(*name);
}

std::optional<Language> LanguageArgument(const EncodableValue* arguments) {
  const auto* tag = arguments != nullptr ? std::get_if<std::string>(arguments) : nullptr;
  if (tag == nullptr || !IsLanguageTag(*tag)) return std::nullopt;
  return LanguageForTag(*tag);
}

std::optional<InstallerRequest> InstallerArgument(const EncodableValue* arguments) {
  const EncodableValueMap* map = MapArgument(arguments);
  if (map == nullptr) return std::nullopt;

  const std::string* path = FindStringValue(*map, "path");
  const std::string* sha256 = FindStringValue(*map, "sha256");
  int64_t size = 0;
  if (auto entry = map->find(EncodableValue("size")); entry != map->end()) {
    if (const auto* small = std::get_if<int32_t>(&entry->second)) {
      size = *small;
    } else if (const auto* large = std::get_if<int64_t>(&entry->second)) {
      size = *large;
    }
  }
  // Three entries with these three keys present leave no room for another.
  if (map->size() != 3 || path == nullptr || sha256 == nullptr || !IsSha256Hex(*sha256) ||
      size < 1 || static_cast<uint64_t>(size) > kMaxInstallerSize) {
    return std::nullopt;
  }
  return InstallerRequest{*path, *sha256, static_cast<uint64_t>(size)};
}

Expected<DiagnosticsFields, DesktopRefusal> DiagnosticsArgument(const EncodableValue* arguments) {
  const EncodableValueMap* map = MapArgument(arguments);
  if (map == nullptr || map->empty() || map->size() > kMaxDiagnosticsFields) {
    return DesktopRefusal::kDiagnosticsShape;
  }
  for (const auto& entry : *map) {
    if (!IsDiagnosticsKey(entry.first)) return DesktopRefusal::kDiagnosticsField;
  }

  DiagnosticsFields fields;
  const std::string* state = FindStringValue(*map, kConnectionStateKey);
  const std::optional<ConnectionState> connection =
      state != nullptr ? ParseConnectionState(*state) : std::nullopt;
  if (!connection ||
      !ReadOptionalField(*map, kAppVersionKey, IsSafeAppVersion, &fields.appVersion) ||
      !ReadOptionalField(*map, kFailureCategoryKey, IsKnownFailureCategory,
                         &fields.failureCategory)) {
    return DesktopRefusal::kDiagnosticsValue;
  }
  fields.connection = ConnectionStateName(*connection);
  return fields;
}

bool IsSafeAppVersion(std::string_view version) {
  return !version.empty() && version.size() <= kMaxAppVersionLength &&
         std::all_of(version.begin(), version.end(), [](char c) {
           return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') ||
                  c == '+' || c == '-' || c == '.';
         });
}

bool IsKnownFailureCategory(std::string_view category) {
  return std::find(kFailureCategories.begin(), kFailureCategories.end(), category) !=
         kFailureCategories.end();
}

const std::string* FindStringValue(const EncodableValueMap& map, const std::string& key) {
  auto entry = map.find(EncodableValue(key));
  if (entry == map.end()) return nullptr;
  return std::get_if<std::string>(&entry->second);
}

}  // namespace veltrix
