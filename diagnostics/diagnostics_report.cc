#include "diagnostics/diagnostics_report.h"

#include <array>
#include <cstdio>
#include <variant>

#include "desktop/connection_state.h"
#include "desktop/desktop_dispatcher.h"

namespace veltrix {
namespace {

constexpr std::string_view kAppVersionKey = "appVersion";
constexpr std::string_view kConnectionStateKey = "connectionState";
constexpr std::string_view kFailureCategoryKey = "failureCategory";

constexpr size_t kMaxAppVersionLength = 64;
constexpr size_t kMaxFieldCount = 3;

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

bool IsAllowedVersionByte(char c) {
  return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '+' ||
         c == '-' || c == '.';
}

bool IsSupportedKey(const flutter::EncodableValue& key) {
  const auto* name = std::get_if<std::string>(&key);
  return name != nullptr &&
         (*name == kAppVersionKey || *name == kConnectionStateKey || *name == kFailureCategoryKey);
}

bool HoldsKey(const flutter::EncodableValueMap& map, std::string_view key) {
  return map.find(flutter::EncodableValue(std::string(key))) != map.end();
}

DiagnosticsFieldsCheck Refuse(std::string_view message) { return {std::nullopt, message}; }

}  // namespace

bool IsSafeAppVersion(std::string_view version) {
  if (version.empty() || version.size() > kMaxAppVersionLength) return false;
  for (char c : version) {
    if (!IsAllowedVersionByte(c)) return false;
  }
  return true;
}

bool IsKnownFailureCategory(std::string_view category) {
  for (std::string_view known : kFailureCategories) {
    if (category == known) return true;
  }
  return false;
}

DiagnosticsFieldsCheck CheckDiagnosticsFields(const flutter::EncodableValue* arguments) {
  const auto* map = arguments ? std::get_if<flutter::EncodableValueMap>(arguments) : nullptr;
  if (map == nullptr || map->empty() || map->size() > kMaxFieldCount) {
    return Refuse(kExpectedSafeFieldsMessage);
  }

  for (const auto& [key, value] : *map) {
    if (!IsSupportedKey(key)) return Refuse(kUnsupportedFieldMessage);
  }

  DiagnosticsFields fields;
  const std::string* state = FindStringValue(*map, std::string(kConnectionStateKey));
  if (state == nullptr || !ParseConnectionState(*state)) return Refuse(kInvalidFieldValueMessage);
  fields.connectionState = *state;

  // A key that is present with a non-string value is a bad value, not a
  // missing field.
  if (HoldsKey(*map, kAppVersionKey)) {
    const std::string* version = FindStringValue(*map, std::string(kAppVersionKey));
    if (version == nullptr || !IsSafeAppVersion(*version)) {
      return Refuse(kInvalidFieldValueMessage);
    }
    fields.appVersion = *version;
  }
  if (HoldsKey(*map, kFailureCategoryKey)) {
    const std::string* category = FindStringValue(*map, std::string(kFailureCategoryKey));
    if (category == nullptr || !IsKnownFailureCategory(*category)) {
      return Refuse(kInvalidFieldValueMessage);
    }
    fields.failureCategory = *category;
  }
  return {std::move(fields), {}};
}

std::string BuildDiagnosticsReport(const DiagnosticsFields& fields, const UtcTime& savedAt) {
  // Large enough for any value the format can produce from unsigned fields;
  // the system clock only ever gives the 20-character form.
  char stamp[80];
  std::snprintf(stamp, sizeof(stamp), "%04u-%02u-%02uT%02u:%02u:%02uZ", savedAt.year, savedAt.month,
                savedAt.day, savedAt.hour, savedAt.minute, savedAt.second);

  std::string report;
  report.reserve(256);
  report += "VELTRIX VPN diagnostics\r\n";
  report += "Schema: 1\r\n";
  report += "Platform: Windows\r\n";
  report += "App version: ";
  report += fields.appVersion.value_or("unknown");
  report += "\r\nConnection: ";
  report += fields.connectionState;
  report += "\r\nFailure category: ";
  report += fields.failureCategory.value_or("none");
  report += "\r\nSaved at (UTC): ";
  report += stamp;
  report += "\r\n";
  return report;
}

}  // namespace veltrix
