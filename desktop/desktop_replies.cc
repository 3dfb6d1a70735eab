// The desktop channel's words: every reply code and message the host sends,
// one table per operation.
#include "desktop/desktop_replies.h"

#include <cstddef>
#include <cstdint>
#include <iterator>

namespace veltrix {
namespace {

template <typename Reason>
struct ReplyWords {
  Reason reason;
  const char* code;
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

constexpr ReplyWords<DesktopRefusal> kDesktopReplies[] = {
    {DesktopRefusal::kInvalidConnectionState, kInvalidArguments, "Expected a VPN connection state.",
     false},
    {DesktopRefusal::kInvalidPreference, kInvalidArguments, "Expected a boolean preference.",
     false},
    {DesktopRefusal::kInvalidLanguageTag, kInvalidArguments, "Expected a language tag.", false},
    {DesktopRefusal::kRepairArguments, kInvalidArguments, "Service repair accepts no arguments.",
     false},
    {DesktopRefusal::kInstallerArguments, kInvalidArguments,
     "Expected a verified installer path, size and SHA-256.", false},
    {DesktopRefusal::kDiagnosticsShape, kInvalidArguments, "Expected safe diagnostic fields.",
     false},
    {DesktopRefusal::kDiagnosticsField, kInvalidArguments, "Unsupported diagnostic field.", false},
    {DesktopRefusal::kDiagnosticsValue, kInvalidArguments, "Invalid diagnostic field value.",
     false},
    {DesktopRefusal::kBusy, kDesktopBusy, "Another desktop operation is in progress.", false},
    {DesktopRefusal::kBusyQuit, kDesktopBusy, "Close the native dialog before quitting.", false},
    {DesktopRefusal::kRunAtLoginFailed, "run_at_login_failed",
     "Could not update the login startup preference.", true},
    {DesktopRefusal::kQuitFailed, "quit_failed", "Could not close the application.", true},
};

constexpr ReplyWords<InstallerRefusal> kInstallerReplies[] = {
    {InstallerRefusal::kPathInvalid, kInvalidInstallerPath, "Invalid update installer path.",
     false},
    {InstallerRefusal::kElsewhere, kInvalidInstallerPath, "Installer must be in VELTRIX-updates.",
     false},
    {InstallerRefusal::kUnavailable, "installer_unavailable", "Update installer is unavailable.",
     true},
    {InstallerRefusal::kUnsafe, kInvalidInstallerPath, "Unsafe update installer path.", false},
    {InstallerRefusal::kMismatch, "installer_verification_failed",
     "Installer bytes do not match the verified release.", false},
    {InstallerRefusal::kCancelled, "installer_cancelled", kInstallerLaunch, true},
    {InstallerRefusal::kLaunchFailed, "installer_launch_failed", kInstallerLaunch, true},
};

constexpr ReplyWords<RepairRefusal> kRepairReplies[] = {
    {RepairRefusal::kNotInstalled, kRepairRequiresInstaller, "Install the official EXE first.",
     false},
    {RepairRefusal::kUnprotected, kRepairRequiresInstaller,
     "Protected repair component is unavailable.", false},
    {RepairRefusal::kCancelled, "repair_cancelled", kRepairLaunch, true},
    {RepairRefusal::kLaunchFailed, "repair_launch_failed", kRepairLaunch, true},
};

constexpr ReplyWords<SaveRefusal> kSaveReplies[] = {
    {SaveRefusal::kDialogFailed, "diagnostics_dialog_failed", "Could not open Save As.", true},
    {SaveRefusal::kPathInvalid, kInvalidDiagnosticsPath, "Choose a local .txt file.", false},
    {SaveRefusal::kNotRegularFile, kInvalidDiagnosticsPath, "Choose a regular local .txt file.",
     false},
    {SaveRefusal::kSaveFailed, "diagnostics_save_failed", "Could not save diagnostics.", true},
};

// A table is looked up by its reasons' values, so each must hold one row per
// reason, in the enumeration's order, ending with `last`.
template <typename Reason, size_t N>
constexpr bool OneRowPerReasonInOrder(const ReplyWords<Reason> (&table)[N], Reason last) {
  for (size_t i = 0; i < N; ++i) {
    if (static_cast<size_t>(table[i].reason) != i) return false;
  }
  return N == static_cast<size_t>(last) + 1;
}
static_assert(OneRowPerReasonInOrder(kDesktopReplies, DesktopRefusal::kQuitFailed));
static_assert(OneRowPerReasonInOrder(kInstallerReplies, InstallerRefusal::kLaunchFailed));
static_assert(OneRowPerReasonInOrder(kRepairReplies, RepairRefusal::kLaunchFailed));
static_assert(OneRowPerReasonInOrder(kSaveReplies, SaveRefusal::kSaveFailed));

template <typename Reason, size_t N>
void ReplyError(flutter::MethodResult& reply, const ReplyWords<Reason> (&table)[N],
                const Failure<Reason>& failure) {
  const ReplyWords<Reason>& words = table[static_cast<size_t>(failure.reason)];
  if (!words.windowsDetails) return reply.Error(words.code, words.message);
  // Taken as unsigned and widened, so a code with the top bit set still
  // arrives as a positive number.
  const uint32_t code = failure.cause ? failure.cause->code : Win32Error::kInternalError;
  reply.Error(words.code, words.message, flutter::EncodableValue(static_cast<int64_t>(code)));
}

}  // namespace

void Reply(flutter::MethodResult& reply, const Failure<DesktopRefusal>& refused) {
  ReplyError(reply, kDesktopReplies, refused);
}

void Reply(flutter::MethodResult& reply, const InstallerLaunch& launch) {
  if (launch) return reply.Success();
  ReplyError(reply, kInstallerReplies, launch.error());
}

void Reply(flutter::MethodResult& reply, const RepairLaunch& launch) {
  if (launch) return reply.Success();
  ReplyError(reply, kRepairReplies, launch.error());
}

void Reply(flutter::MethodResult& reply, const DiagnosticsSave& save) {
  if (!save) return ReplyError(reply, kSaveReplies, save.error());
  // A cancelled dialog is no error: nothing was saved.
  if (!*save) return reply.Success();
  reply.Success(flutter::EncodableValue(**save));
}

}  // namespace veltrix
