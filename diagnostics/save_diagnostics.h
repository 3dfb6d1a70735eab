#ifndef DIAGNOSTICS_SAVE_DIAGNOSTICS_H_
#define DIAGNOSTICS_SAVE_DIAGNOSTICS_H_

#include <windows.h>

#include <commdlg.h>

#include <functional>

#include "diagnostics/diagnostics_fields.h"
#include "locale/host_texts.h"

namespace veltrix {

// The two outside influences on a save: the clock and the person at the
// Save As dialog. Tests replace both.
struct DiagnosticsEnvironment {
  // The current UTC time (GetSystemTime).
  std::function<SYSTEMTIME()> currentUtcTime;
  // Shows the prepared dialog; the chosen path comes back in lpstrFile.
  // True when a file was chosen, false when the user cancelled; a failure
  // carries CommDlgExtendedError.
  std::function<Win32Result<bool>(OPENFILENAMEW& dialog)> showSaveDialog;
};

// The real clock and the real Save As dialog.
DiagnosticsEnvironment DefaultDiagnosticsEnvironment();

// Builds the report, asks the user for a file, with the dialog in the words
// of `texts`, and writes the report over it when the choice is a plain local
// .txt file.
DiagnosticsSave SaveDiagnostics(
    HWND owner, const DiagnosticsFields& fields, const HostTexts& texts,
    const DiagnosticsEnvironment& environment = DefaultDiagnosticsEnvironment());

}  // namespace veltrix

#endif  // DIAGNOSTICS_SAVE_DIAGNOSTICS_H_
