#include "diagnostics/diagnostics_report.h"

#include <cstdio>

namespace veltrix {

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
  report += fields.connection;
  report += "\r\nFailure category: ";
  report += fields.failureCategory.value_or("none");
  report += "\r\nSaved at (UTC): ";
  report += stamp;
  report += "\r\n";
  return report;
}

}  // namespace veltrix
