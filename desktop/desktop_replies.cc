// The desktop channel's words: every reply code and message the host sends,
// in one table.
#include "desktop/desktop_replies.h"

#include <cstddef>
#include <cstdint>
#include <iterator>

namespace veltrix {
namespace {

struct ReplyWords {
  Outcome outcome;
  const char* code;  // null for a success
  const char* message;
  // Errors that come from a Windows call carry its code as details.
  bool windowsDetails;
};

constexpr char kInvalidArguments[] = "invalid_arguments";
constexpr char kDesktopBusy[] = "desktop_busy";
constexpr char kInvalidInstallerPath[] = "invalid_installer_path";
constexpr char kRepairRequiresInstaller[] = "repair_requires_installer";
constexpr char kInvalidDiagnosticsPath[] = "invalid_diagnostics_path";
constexpr char kInstallerLaunch[] = "Could not launch the update installer.";
constexpr char kRepairLaunch[] = "Could not launch service repair.";

constexpr ReplyWords kReplies[] = {
    {Outcome::kDone, nullptr, nullptr, false},
    {Outcome::kInvalidConnectionState, kInvalidArguments, "Expected a VPN connection state.",
     false},
    {Outcome::kInvalidPreference, kInvalidArguments, "Expected a boolean preference.", false},
    {Outcome::kRepairArguments, kInvalidArguments, "Service repair accepts no arguments.", false},
    {Outcome::kInstallerArguments, kInvalidArguments,
     "Expected a verified installer path, size and SHA-256.", false},
    {Outcome::kDiagnosticsShape, kInvalidArguments, "Expected safe diagnostic fields.", false},
    {Outcome::kDiagnosticsField, kInvalidArguments, "Unsupported diagnostic field.", false},
    {Outcome::kDiagnosticsValue, kInvalidArguments, "Invalid diagnostic field value.", false},
    {Outcome::kBusy, kDesktopBusy, "Another desktop operation is in progress.", false},
    {Outcome::kBusyQuit, kDesktopBusy, "Close the native dialog before quitting.", false},

    {Outcome::kRunAtLoginFailed, "run_at_login_failed",
     "Could not update the login startup preference.", true},
    {Outcome::kQuitFailed, "quit_failed", "Could not close the application.", true},

    {Outcome::kInstallerPathInvalid, kInvalidInstallerPath, "Invalid update installer path.",
     false},
    {Outcome::kInstallerElsewhere, kInvalidInstallerPath, "Installer must be in VELTRIX-updates.",
     false},
    {Outcome::kInstallerUnavailable, "installer_unavailable", "Update installer is unavailable.",
     true},
    {Outcome::kInstallerUnsafe, kInvalidInstallerPath, "Unsafe update installer path.", false},
    {Outcome::kInstallerMismatch, "installer_verification_failed",
     "Installer bytes do not match the verified release.", false},
    {Outcome::kInstallerCancelled, "installer_cancelled", kInstallerLaunch, true},
    {Outcome::kInstallerLaunchFailed, "installer_launch_failed", kInstallerLaunch, true},

    {Outcome::kRepairNotInstalled, kRepairRequiresInstaller, "Install the official EXE first.",
     false},
    {Outcome::kRepairUnprotected, kRepairRequiresInstaller,
     "Protected repair component is unavailable.", false},
    {Outcome::kRepairCancelled, "repair_cancelled", kRepairLaunch, true},
    {Outcome::kRepairLaunchFailed, "repair_launch_failed", kRepairLaunch, true},

    {Outcome::kDiagnosticsSaved, nullptr, nullptr, false},
    {Outcome::kDiagnosticsCancelled, nullptr, nullptr, false},
    {Outcome::kDiagnosticsDialogFailed, "diagnostics_dialog_failed", "Could not open Save As.",
     true},
    {Outcome::kDiagnosticsPathInvalid, kInvalidDiagnosticsPath, "Choose a local .txt file.", false},
    {Outcome::kDiagnosticsNotRegularFile, kInvalidDiagnosticsPath,
     "Choose a regular local .txt file.", false},
    {Outcome::kDiagnosticsSaveFailed, "diagnostics_save_failed", "Could not save diagnostics.",
     true},
};

// A missing row would otherwise answer some error as a success.
constexpr bool OneRowPerOutcomeInOrder() {
  for (size_t i = 0; i < std::size(kReplies); ++i) {
    if (static_cast<size_t>(kReplies[i].outcome) != i) return false;
  }
  return std::size(kReplies) == static_cast<size_t>(Outcome::kDiagnosticsSaveFailed) + 1;
}
static_assert(OneRowPerOutcomeInOrder());

const ReplyWords& WordsFor(Outcome outcome) { return kReplies[static_cast<size_t>(outcome)]; }

}  // namespace

void Reply(flutter::MethodResult& reply, const OperationResult& result) {
  const ReplyWords& words = WordsFor(result.outcome);
  if (result.outcome == Outcome::kDiagnosticsSaved) {
    reply.Success(flutter::EncodableValue(result.savedPath));
  } else if (words.code == nullptr) {
    reply.Success();
  } else if (words.windowsDetails) {
    // Taken as unsigned and widened, so a code with the top bit set still
    // arrives as a positive number.
    reply.Error(words.code, words.message,
                flutter::EncodableValue(static_cast<int64_t>(result.windowsError)));
  } else {
    reply.Error(words.code, words.message);
  }
}

}  // namespace veltrix
