#ifndef DIAGNOSTICS_DIAGNOSTICS_REPORT_H_
#define DIAGNOSTICS_DIAGNOSTICS_REPORT_H_

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "engine_client/encodable_value.h"

namespace veltrix {

inline constexpr std::string_view kExpectedSafeFieldsMessage = "Expected safe diagnostic fields.";
inline constexpr std::string_view kUnsupportedFieldMessage = "Unsupported diagnostic field.";
inline constexpr std::string_view kInvalidFieldValueMessage = "Invalid diagnostic field value.";

// The three fields that the user interface may put into a report, each one
// already checked. An absent optional field is written as its default.
struct DiagnosticsFields {
  std::string connectionState;
  std::optional<std::string> appVersion;
  std::optional<std::string> failureCategory;
};

// Either the checked fields, or the message of the "invalid_arguments" reply.
struct DiagnosticsFieldsCheck {
  std::optional<DiagnosticsFields> fields;
  std::string_view errorMessage;
};

// The UTC wall-clock time written into the report, as the system gives it.
struct UtcTime {
  unsigned year = 0;
  unsigned month = 0;
  unsigned day = 0;
  unsigned hour = 0;
  unsigned minute = 0;
  unsigned second = 0;
};

// 1 to 64 bytes of ASCII letters, digits, '+', '-' and '.'.
bool IsSafeAppVersion(std::string_view version);

// One of the eight failure categories that the user interface knows.
bool IsKnownFailureCategory(std::string_view category);

// Checks the call's arguments (possibly absent): shape first, then keys, then
// values, so the message names the first rule broken.
DiagnosticsFieldsCheck CheckDiagnosticsFields(const flutter::EncodableValue* arguments);

// The report bytes: seven CR LF terminated ASCII lines.
std::string BuildDiagnosticsReport(const DiagnosticsFields& fields, const UtcTime& savedAt);

}  // namespace veltrix

#endif  // DIAGNOSTICS_DIAGNOSTICS_REPORT_H_
