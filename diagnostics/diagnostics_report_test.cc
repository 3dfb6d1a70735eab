#include "diagnostics/diagnostics_report.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace veltrix {
namespace {

using flutter::EncodableValue;
using flutter::EncodableValueMap;

EncodableValue Map(std::vector<std::pair<EncodableValue, EncodableValue>> entries) {
  EncodableValueMap map;
  for (auto& [key, value] : entries) map.emplace(std::move(key), std::move(value));
  return EncodableValue(std::move(map));
}

EncodableValue Str(const std::string& text) { return EncodableValue(text); }

constexpr UtcTime kNoon{2024, 3, 9, 12, 5, 7};

TEST(DiagnosticsReport, ShortestReportUsesDefaults) {
  const DiagnosticsFields fields{"error", std::nullopt, std::nullopt};
  EXPECT_EQ(BuildDiagnosticsReport(fields, kNoon),
            "VELTRIX VPN diagnostics\r\n"
            "Schema: 1\r\n"
            "Platform: Windows\r\n"
            "App version: unknown\r\n"
            "Connection: error\r\n"
            "Failure category: none\r\n"
            "Saved at (UTC): 2024-03-09T12:05:07Z\r\n");
}

TEST(DiagnosticsReport, LongestReportIs243Bytes) {
  const std::string version(64, '9');
  const DiagnosticsFields fields{"disconnecting", version, "configurationUnavailable"};
  const std::string report = BuildDiagnosticsReport(fields, {9999, 12, 31, 23, 59, 59});
  EXPECT_EQ(report,
            "VELTRIX VPN diagnostics\r\nSchema: 1\r\nPlatform: Windows\r\nApp version: " + version +
                "\r\nConnection: disconnecting\r\n"
                "Failure category: configurationUnavailable\r\n"
                "Saved at (UTC): 9999-12-31T23:59:59Z\r\n");
  EXPECT_EQ(report.size(), 243u);
}

TEST(DiagnosticsReport, TimeStampIsZeroPadded) {
  const DiagnosticsFields fields{"connected", "1.0.0", "none"};
  const std::string report = BuildDiagnosticsReport(fields, {1601, 1, 2, 3, 4, 5});
  EXPECT_EQ(report.substr(0, 68),
            "VELTRIX VPN diagnostics\r\nSchema: 1\r\nPlatform: Windows\r\nApp version: ");
  EXPECT_NE(report.find("\r\nSaved at (UTC): 1601-01-02T03:04:05Z\r\n"), std::string::npos);
}

struct FieldsCase {
  const char* name;
  std::optional<EncodableValue> arguments;  // nullopt: no argument at all
  std::string_view error;                   // empty: accepted
};

std::vector<FieldsCase> FieldsCases() {
  const std::string v64(64, 'a');
  const std::string v65(65, 'a');
  return {
      // Shape.
      {"absent", std::nullopt, kExpectedSafeFieldsMessage},
      {"null", EncodableValue(), kExpectedSafeFieldsMessage},
      {"string", Str("connected"), kExpectedSafeFieldsMessage},
      {"list", EncodableValue(flutter::EncodableValueList{Str("connected")}),
       kExpectedSafeFieldsMessage},
      {"empty map", Map({}), kExpectedSafeFieldsMessage},
      {"four known-looking entries",
       Map({{Str("connectionState"), Str("connected")},
            {Str("appVersion"), Str("1.0")},
            {Str("failureCategory"), Str("none")},
            {Str("extra"), Str("x")}}),
       kExpectedSafeFieldsMessage},
      // Keys, checked before any value.
      {"integer key", Map({{EncodableValue(int32_t{1}), Str("connected")}}),
       kUnsupportedFieldMessage},
      {"unknown key with valid state",
       Map({{Str("connectionState"), Str("connected")}, {Str("userName"), Str("x")}}),
       kUnsupportedFieldMessage},
      {"key in other case", Map({{Str("ConnectionState"), Str("connected")}}),
       kUnsupportedFieldMessage},
      {"unknown key beside bad value",
       Map({{Str("connectionState"), EncodableValue(int32_t{3})}, {Str("zz"), Str("x")}}),
       kUnsupportedFieldMessage},
      // Values.
      {"state missing", Map({{Str("appVersion"), Str("1.0")}}), kInvalidFieldValueMessage},
      {"state not a string", Map({{Str("connectionState"), EncodableValue(true)}}),
       kInvalidFieldValueMessage},
      {"state in capitals", Map({{Str("connectionState"), Str("Connected")}}),
       kInvalidFieldValueMessage},
      {"version as integer",
       Map({{Str("connectionState"), Str("connected")}, {Str("appVersion"), EncodableValue(3)}}),
       kInvalidFieldValueMessage},
      {"version null",
       Map({{Str("connectionState"), Str("connected")}, {Str("appVersion"), EncodableValue()}}),
       kInvalidFieldValueMessage},
      {"category not a string",
       Map({{Str("connectionState"), Str("connected")},
            {Str("failureCategory"), EncodableValue(int64_t{0})}}),
       kInvalidFieldValueMessage},
      {"category with capital N",
       Map({{Str("connectionState"), Str("connected")}, {Str("failureCategory"), Str("None")}}),
       kInvalidFieldValueMessage},
      {"category bare timeout",
       Map({{Str("connectionState"), Str("connected")}, {Str("failureCategory"), Str("timeout")}}),
       kInvalidFieldValueMessage},
      {"version 65 bytes",
       Map({{Str("connectionState"), Str("connected")}, {Str("appVersion"), Str(v65)}}),
       kInvalidFieldValueMessage},
      // Accepted.
      {"state only", Map({{Str("connectionState"), Str("connected")}}), {}},
      {"version 64 bytes",
       Map({{Str("connectionState"), Str("connected")}, {Str("appVersion"), Str(v64)}}),
       {}},
      {"all three",
       Map({{Str("connectionState"), Str("reconnecting")},
            {Str("appVersion"), Str("1.2.3+45")},
            {Str("failureCategory"), Str("authenticationRequired")}}),
       {}},
  };
}

TEST(DiagnosticsFields, ChecksShapeThenKeysThenValues) {
  for (const FieldsCase& c : FieldsCases()) {
    const DiagnosticsFieldsCheck check =
        CheckDiagnosticsFields(c.arguments ? &*c.arguments : nullptr);
    if (c.error.empty()) {
      EXPECT_TRUE(check.fields.has_value()) << c.name << ": " << check.errorMessage;
    } else {
      EXPECT_FALSE(check.fields.has_value()) << c.name;
      EXPECT_EQ(check.errorMessage, c.error) << c.name;
    }
  }
}

TEST(DiagnosticsFields, KeepsTheTextsAsReceived) {
  const EncodableValue arguments = Map({{Str("connectionState"), Str("disconnecting")},
                                        {Str("appVersion"), Str("1.0.0-beta.2")},
                                        {Str("failureCategory"), Str("connectionTimeout")}});
  const DiagnosticsFieldsCheck check = CheckDiagnosticsFields(&arguments);
  ASSERT_TRUE(check.fields.has_value());
  EXPECT_EQ(check.fields->connectionState, "disconnecting");
  EXPECT_EQ(check.fields->appVersion, "1.0.0-beta.2");
  EXPECT_EQ(check.fields->failureCategory, "connectionTimeout");

  const EncodableValue stateOnly = Map({{Str("connectionState"), Str("connected")}});
  const DiagnosticsFieldsCheck minimal = CheckDiagnosticsFields(&stateOnly);
  ASSERT_TRUE(minimal.fields.has_value());
  EXPECT_FALSE(minimal.fields->appVersion.has_value());
  EXPECT_FALSE(minimal.fields->failureCategory.has_value());
}

TEST(DiagnosticsFields, AppVersionGrammar) {
  const struct {
    std::string version;
    bool safe;
  } cases[] = {
      {"1.2.3+45", true},
      {"1.0.0-beta.2", true},
      {"V", true},
      {std::string(64, '.'), true},
      {"", false},
      {std::string(65, '1'), false},
      {"1.2.3 beta", false},
      {"1.2_3", false},
      {"1.2/3", false},
      {std::string("1.2\0", 4), false},
      {"1.2\xC3\xA9", false},
      {"1.2\r\n", false},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(IsSafeAppVersion(c.version), c.safe) << '"' << c.version << '"';
  }
}

TEST(DiagnosticsFields, FailureCategoriesAreExact) {
  for (const char* known : {"none", "permissionDenied", "networkUnavailable", "serverUnavailable",
                            "authenticationRequired", "configurationUnavailable",
                            "connectionTimeout", "internalError"}) {
    EXPECT_TRUE(IsKnownFailureCategory(known)) << known;
  }
  for (const char* unknown : {"", "None", "timeout", "none ", "internalerror", "unknown"}) {
    EXPECT_FALSE(IsKnownFailureCategory(unknown)) << unknown;
  }
  EXPECT_FALSE(IsKnownFailureCategory(std::string_view("none\0", 5)));
}

}  // namespace
}  // namespace veltrix
