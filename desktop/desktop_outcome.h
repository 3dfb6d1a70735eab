#ifndef DESKTOP_DESKTOP_OUTCOME_H_
#define DESKTOP_DESKTOP_OUTCOME_H_

#include <cstdint>
#include <string>
#include <utility>

namespace veltrix {

// Every way a desktop call can end. The operations below the channel say
// which one happened; desktop_replies.cc words each for the channel.
enum class Outcome {
  kDone,  // success without a value

  // Refused before anything was done.
  kInvalidConnectionState,
  kInvalidPreference,
  kRepairArguments,
  kInstallerArguments,
  kDiagnosticsShape,
  kDiagnosticsField,
  kDiagnosticsValue,
  kBusy,
  kBusyQuit,

  kRunAtLoginFailed,
  kQuitFailed,

  kInstallerPathInvalid,
  kInstallerElsewhere,
  kInstallerUnavailable,
  kInstallerUnsafe,
  kInstallerMismatch,
  kInstallerCancelled,
  kInstallerLaunchFailed,

  kRepairNotInstalled,
  kRepairUnprotected,
  kRepairCancelled,
  kRepairLaunchFailed,

  kDiagnosticsSaved,
  kDiagnosticsCancelled,
  kDiagnosticsDialogFailed,
  kDiagnosticsPathInvalid,
  kDiagnosticsNotRegularFile,
  kDiagnosticsSaveFailed,  // last: desktop_replies.cc has a row per outcome, in this order
};

// How a long operation ended: the outcome, the Windows error where the
// outcome carries one, and for a saved report the chosen path (UTF-8).
struct OperationResult {
  OperationResult(Outcome outcome = Outcome::kDone, uint32_t windowsError = 0,
                  std::string savedPath = {})
      : outcome(outcome), windowsError(windowsError), savedPath(std::move(savedPath)) {}

  Outcome outcome;
  uint32_t windowsError;
  std::string savedPath;
};

}  // namespace veltrix

#endif  // DESKTOP_DESKTOP_OUTCOME_H_
