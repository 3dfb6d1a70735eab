#ifndef DIAGNOSTICS_SAVE_DIAGNOSTICS_H_
#define DIAGNOSTICS_SAVE_DIAGNOSTICS_H_

#include <windows.h>

#include <commdlg.h>

#include <functional>

#include "desktop/desktop_arguments.h"
#include "desktop/desktop_outcome.h"

namespace veltrix {

// The Save As dialog's title; the test UI finds the dialog by it.
inline constexpr wchar_t kSaveDialogTitle[] = L"Save VELTRIX diagnostics";

// What GetSaveFileNameW returned, and CommDlgExtendedError when it was false.
struct SaveDialogOutcome {
  bool chosen = false;
  DWORD extendedError = 0;
};

// The two outside influences on a save: the clock and the person at the
// Save As dialog. Tests replace both.
struct DiagnosticsEnvironment {
  // The current UTC time (GetSystemTime).
  std::function<SYSTEMTIME()> currentUtcTime;
  // Shows the prepared dialog; the chosen path comes back in lpstrFile.
  std::function<SaveDialogOutcome(OPENFILENAMEW& dialog)> showSaveDialog;
};

// The real clock and the real Save As dialog.
const DiagnosticsEnvironment& SystemDiagnosticsEnvironment();

// Builds the report, asks the user for a file and writes the report over it
// when the choice is a plain local .txt file.
OperationResult SaveDiagnostics(
    HWND owner, const DiagnosticsFields& fields,
    const DiagnosticsEnvironment& environment = SystemDiagnosticsEnvironment());

}  // namespace veltrix

#endif  // DIAGNOSTICS_SAVE_DIAGNOSTICS_H_
