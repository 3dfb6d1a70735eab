#ifndef DIAGNOSTICS_DIAGNOSTICS_REPORT_H_
#define DIAGNOSTICS_DIAGNOSTICS_REPORT_H_

#include <string>

#include "diagnostics/diagnostics_fields.h"

namespace veltrix {

// The UTC wall-clock time written into the report, as the system gives it.
struct UtcTime {
  unsigned year = 0;
  unsigned month = 0;
  unsigned day = 0;
  unsigned hour = 0;
  unsigned minute = 0;
  unsigned second = 0;
};

// The report bytes: seven CR LF terminated ASCII lines, from fields that
// were checked already.
std::string BuildDiagnosticsReport(const DiagnosticsFields& fields, const UtcTime& savedAt);

}  // namespace veltrix

#endif  // DIAGNOSTICS_DIAGNOSTICS_REPORT_H_
