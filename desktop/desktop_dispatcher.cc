#include "desktop/desktop_dispatcher.h"

#include <string_view>

#include "base/scope_exit.h"
#include "desktop/desktop_arguments.h"
#include "desktop/desktop_replies.h"

namespace veltrix {
namespace {

using flutter::EncodableValue;

// One call on its way through: what it may touch and how it is answered.
struct Call {
  DesktopState& state;
  LifecycleDriver& host;
  DesktopOperations& operations;
  const EncodableValue* arguments;
  flutter::MethodResult& result;
};

// The lifecycle hears of exactly the span of one long operation, also when
// it unwinds, and the call is answered with how it ended.
template <typename Operation>
void RunLongOperation(Call& call, Operation operation) {
  const auto ended = [&] {
    static_cast<void>(call.host.Dispatch(LifecycleEvent::kOperationBegun));
    // A quit put off meanwhile is posted now; should that fail, a later
    // quit tries again.
    ScopeExit end(
        [&call] { static_cast<void>(call.host.Dispatch(LifecycleEvent::kOperationEnded)); });
    return operation();
  }();
  Reply(call.result, ended);
}

void Initialize(Call& call) {
  call.state.MarkInitialized();
  // Adds a missing icon when it can; either way says whether one is shown.
  const bool trayAvailable = call.operations.EnsureTrayIcon();
  flutter::EncodableValueMap reply;
  reply[EncodableValue("autostart")] = EncodableValue(call.host.lifecycle().loginStart());
  reply[EncodableValue("trayAvailable")] = EncodableValue(trayAvailable);
  call.result.Success(EncodableValue(std::move(reply)));
}

void UpdateConnection(Call& call) {
  const std::optional<ConnectionState> state = ConnectionArgument(call.arguments);
  if (!state) return Reply(call.result, DesktopRefusal::kInvalidConnectionState);
  call.state.RecordConnection(*state);
  call.operations.ShowConnection(*state);
  call.result.Success();
}

void SetLanguage(Call& call) {
  const std::optional<Language> language = LanguageArgument(call.arguments);
  if (!language) return Reply(call.result, DesktopRefusal::kInvalidLanguageTag);
  call.operations.ShowLanguage(*language);
  call.result.Success();
}

void ShowWindow(Call& call) {
  call.operations.BringWindowToFront();
  call.result.Success();
}

void SetCloseToTray(Call& call) {
  const std::optional<bool> enable = BoolArgument(call.arguments);
  if (!enable) return Reply(call.result, DesktopRefusal::kInvalidPreference);
  call.state.SetCloseToTray(*enable);
  call.result.Success();
}

void SetRunAtLogin(Call& call) {
  const std::optional<bool> enable = BoolArgument(call.arguments);
  if (!enable) return Reply(call.result, DesktopRefusal::kInvalidPreference);
  const Win32Result<> written = call.operations.SetRunAtLogin(*enable);
  if (!written)
    return Reply(call.result, Failure(DesktopRefusal::kRunAtLoginFailed, written.error()));
  call.result.Success();
}

void Quit(Call& call) {
  // A modal dialog is still running on this thread; closing under it would
  // pull the window away from its own loop.
  if (call.host.lifecycle().busy()) return Reply(call.result, DesktopRefusal::kBusyQuit);
  // Once quitting, nothing more is posted and the answer is the same.
  const auto quitting = call.host.Dispatch(LifecycleEvent::kUiQuit);
  if (!quitting) return Reply(call.result, Failure(DesktopRefusal::kQuitFailed, quitting.error()));
  call.result.Success();
}

void RepairService(Call& call) {
  if (call.arguments != nullptr && !call.arguments->IsNull()) {
    return Reply(call.result, DesktopRefusal::kRepairArguments);
  }
  RunLongOperation(call, [&call] { return call.operations.LaunchServiceRepair(); });
}

void LaunchInstaller(Call& call) {
  const std::optional<InstallerRequest> request = InstallerArgument(call.arguments);
  if (!request) return Reply(call.result, DesktopRefusal::kInstallerArguments);
  RunLongOperation(call, [&] { return call.operations.LaunchUpdateInstaller(*request); });
}

void SaveDiagnostics(Call& call) {
  const auto fields = DiagnosticsArgument(call.arguments);
  if (!fields) return Reply(call.result, fields.error());
  RunLongOperation(call, [&] { return call.operations.SaveDiagnostics(*fields); });
}

struct Method {
  std::string_view name;
  // Refused while another long operation runs or once the host is closing,
  // before the arguments are looked at.
  bool longOperation;
  void (*handle)(Call& call);
};

constexpr Method kMethods[] = {
    {"initialize", false, &Initialize},
    {"updateConnection", false, &UpdateConnection},
    {"showWindow", false, &ShowWindow},
    {"setCloseToTray", false, &SetCloseToTray},
    {"setRunAtLogin", false, &SetRunAtLogin},
    {"setLanguage", false, &SetLanguage},
    {"quit", false, &Quit},
    {"repairService", true, &RepairService},
    {"launchInstaller", true, &LaunchInstaller},
    {"saveDiagnostics", true, &SaveDiagnostics},
};

}  // namespace

void HandleDesktopMethod(DesktopState& state, LifecycleDriver& host, DesktopOperations& operations,
                         const flutter::MethodCall& call,
                         std::unique_ptr<flutter::MethodResult> result) {
  Call answering{state, host, operations, call.arguments(), *result};
  // Exact bytes: "Quit" or "quit " is another method.
  for (const Method& method : kMethods) {
    if (method.name != call.method_name()) continue;
    if (method.longOperation && !host.lifecycle().idle()) {
      return Reply(*result, DesktopRefusal::kBusy);
    }
    return method.handle(answering);
  }
  result->NotImplemented();
}

}  // namespace veltrix
