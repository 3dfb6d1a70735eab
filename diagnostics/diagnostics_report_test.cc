#include "diagnostics/diagnostics_report.h"

#include <gtest/gtest.h>

#include <string>

namespace veltrix {
namespace {

TEST(DiagnosticsReportTest, ShortestAndLongestReports) {
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

}  // namespace
}  // namespace veltrix
