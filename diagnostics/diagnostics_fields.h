#ifndef DIAGNOSTICS_DIAGNOSTICS_FIELDS_H_
#define DIAGNOSTICS_DIAGNOSTICS_FIELDS_H_

#include <optional>
#include <string>

#include "base/expected.h"

namespace veltrix {

// What a diagnostics report says and how its save ends, free of Windows
// types so that the desktop channel can name them in both builds.

// The report's fields, checked already; an absent optional field is
// written as its default.
struct DiagnosticsFields {
  std::string connection = "disconnected";  // the state's name as the channel spells it
  std::optional<std::string> appVersion;
  std::optional<std::string> failureCategory;
};

enum class SaveRefusal {
  kDialogFailed,    // Save As could not be shown (with its extended error)
  kPathInvalid,     // not a local .txt path
  kNotRegularFile,  // a link, a device, a remote or linked file
  kSaveFailed,      // could not be written (with the Windows error)
};
// The saved file's path (UTF-8), or none when the user cancelled.
using DiagnosticsSave = Expected<std::optional<std::string>, Failure<SaveRefusal>>;

}  // namespace veltrix

#endif  // DIAGNOSTICS_DIAGNOSTICS_FIELDS_H_
