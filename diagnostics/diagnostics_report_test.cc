#include "diagnostics/diagnostics_report.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace veltrix {
namespace {

using flutter::EncodableValue;

EncodableValue Map(std::vector<std::pair<EncodableValue, EncodableValue>> entries) {
  flutter::EncodableValueMap map;
  for (auto& [key, value] : entries) map.emplace(std::move(key), std::move(value));
  return EncodableValue(std::move(map));
}

// A map with a valid state plus one more entry.
EncodableValue StateAnd(const char* key, EncodableValue value) {
  return Map({{EncodableValue("connectionState"), EncodableValue("connected")},
              {EncodableValue(key), std::move(value)}});
}

TEST(DiagnosticsReport, ShortestAndLongestReports) {
  EXPECT_EQ(BuildDiagnosticsReport({"error", std::nullopt, std::nullopt}, {1601, 1, 2, 3, 4, 5}),
            "VELTRIX VPN diagnostics\r\nSchema: 1\r\nPlatform: Windows\r\n"
            "App version: unknown\r\nConnection: error\r\nFailure category: none\r\n"
            "Saved at (UTC): 1601-01-02T03:04:05Z\r\n");

  const std::string version(64, '9');
  const std::string longest = BuildDiagnosticsReport(
      {"disconnecting", version, "configurationUnavailable"}, {9999, 12, 31, 23, 59, 59});
  EXPECT_EQ(longest,
            "VELTRIX VPN diagnostics\r\nSchema: 1\r\nPlatform: Windows\r\nApp version: " + version +
                "\r\nConnection: disconnecting\r\n"
                "Failure category: configurationUnavailable\r\n"
                "Saved at (UTC): 9999-12-31T23:59:59Z\r\n");
  EXPECT_EQ(longest.size(), 243u);
}

TEST(DiagnosticsFields, ChecksShapeThenKeysThenValues) {
  const EncodableValue state("connectionState");
  const EncodableValue connected("connected");
  const std::string v64(64, 'a');
  const struct {
    const char* name;
    std::optional<EncodableValue> arguments;  // nullopt: no argument at all
    std::string_view error;                   // empty: accepted, as `kept`
    DiagnosticsFields kept = {};
  } cases[] = {
      {"absent", std::nullopt, kExpectedSafeFieldsMessage},
      {"string", connected, kExpectedSafeFieldsMessage},
      {"empty map", Map({}), kExpectedSafeFieldsMessage},
      {"four entries, one unknown",
       Map({{state, connected},
            {EncodableValue("appVersion"), EncodableValue("1.0")},
            {EncodableValue("failureCategory"), EncodableValue("none")},
            {EncodableValue("extra"), EncodableValue(int32_t{3})}}),
       kExpectedSafeFieldsMessage},
      {"integer key", Map({{EncodableValue(int32_t{1}), connected}}), kUnsupportedFieldMessage},
      {"key in other case", Map({{EncodableValue("ConnectionState"), connected}}),
       kUnsupportedFieldMessage},
      {"unknown key beside bad value",
       Map({{state, EncodableValue(int32_t{3})}, {EncodableValue("zz"), connected}}),
       kUnsupportedFieldMessage},
      {"state missing", Map({{EncodableValue("appVersion"), EncodableValue("1.0")}}),
       kInvalidFieldValueMessage},
      {"state in capitals", Map({{state, EncodableValue("Connected")}}), kInvalidFieldValueMessage},
      {"version as integer", StateAnd("appVersion", EncodableValue(3)), kInvalidFieldValueMessage},
      {"version 65 bytes", StateAnd("appVersion", EncodableValue(std::string(65, 'a'))),
       kInvalidFieldValueMessage},
      {"category not a string", StateAnd("failureCategory", EncodableValue(int64_t{0})),
       kInvalidFieldValueMessage},
      {"category None", StateAnd("failureCategory", EncodableValue("None")),
       kInvalidFieldValueMessage},
      {"state only", Map({{state, EncodableValue("error")}}), {}, {"error", {}, {}}},
      {"version 64 bytes", StateAnd("appVersion", EncodableValue(v64)), {}, {"connected", v64, {}}},
      {"all three",
       Map({{state, EncodableValue("reconnecting")},
            {EncodableValue("appVersion"), EncodableValue("1.0.0-beta.2")},
            {EncodableValue("failureCategory"), EncodableValue("connectionTimeout")}}),
       {},
       {"reconnecting", "1.0.0-beta.2", "connectionTimeout"}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    const DiagnosticsFieldsCheck check =
        CheckDiagnosticsFields(c.arguments ? &*c.arguments : nullptr);
    EXPECT_EQ(check.errorMessage, c.error);
    ASSERT_EQ(check.fields.has_value(), c.error.empty());
    if (!check.fields) continue;
    EXPECT_EQ(check.fields->connectionState, c.kept.connectionState);
    EXPECT_EQ(check.fields->appVersion, c.kept.appVersion);
    EXPECT_EQ(check.fields->failureCategory, c.kept.failureCategory);
  }
}

TEST(DiagnosticsFields, AppVersionsAndCategoriesAreExact) {
  using namespace std::string_literals;
  for (const std::string& version : {"1.2.3+45"s, "1.0.0-beta.2"s, "V"s}) {
    EXPECT_TRUE(IsSafeAppVersion(version)) << version;
  }
  for (const std::string& version :
       {""s, "1.2.3 beta"s, "1.2_3"s, "1.2/3"s, "1.2\0"s, "1.2\xC3\xA9"s, "1.2\r\n"s}) {
    EXPECT_FALSE(IsSafeAppVersion(version)) << version;
  }
  for (const char* known : {"none", "permissionDenied", "networkUnavailable", "serverUnavailable",
                            "authenticationRequired", "configurationUnavailable",
                            "connectionTimeout", "internalError"}) {
    EXPECT_TRUE(IsKnownFailureCategory(known)) << known;
  }
  for (const std::string& unknown : {"timeout"s, "none "s, "internalerror"s, "none\0"s}) {
    EXPECT_FALSE(IsKnownFailureCategory(unknown)) << unknown;
  }
}

}  // namespace
}  // namespace veltrix
