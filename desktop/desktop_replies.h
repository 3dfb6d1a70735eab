#ifndef DESKTOP_DESKTOP_REPLIES_H_
#define DESKTOP_DESKTOP_REPLIES_H_

#include "base/expected.h"
#include "diagnostics/diagnostics_fields.h"
#include "engine_client/method_result.h"
#include "launch/launch_results.h"

namespace veltrix {

// Why the desktop channel itself refused a call: its arguments, a busy
// host, or the Windows call behind a short method.
enum class DesktopRefusal {
  kInvalidConnectionState,
  kInvalidPreference,
  kInvalidLanguageTag,
  kRepairArguments,
  kInstallerArguments,
  kDiagnosticsShape,
  kDiagnosticsField,
  kDiagnosticsValue,
  kBusy,
  kBusyQuit,
  kRunAtLoginFailed,  // with the Windows error
  kQuitFailed,        // with the Windows error
};

// Each answers a desktop call with the channel's words for how the work
// ended: a success (the saved path for a saved report), or an error with
// its code, its message and, for errors that come from Windows, the error
// code as details.
void Reply(flutter::MethodResult& reply, const Failure<DesktopRefusal>& refused);
void Reply(flutter::MethodResult& reply, const InstallerLaunch& launch);
void Reply(flutter::MethodResult& reply, const RepairLaunch& launch);
void Reply(flutter::MethodResult& reply, const DiagnosticsSave& save);

}  // namespace veltrix

#endif  // DESKTOP_DESKTOP_REPLIES_H_
