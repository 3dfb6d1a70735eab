#include "desktop/desktop_dispatcher.h"

#include <optional>
#include <variant>

#include "desktop/connection_state.h"
#include "desktop/desktop_reply.h"

namespace veltrix {
namespace {

constexpr char kInvalidArguments[] = "invalid_arguments";
constexpr char kDesktopBusy[] = "desktop_busy";
constexpr char kOperationInProgress[] = "Another desktop operation is in progress.";

// Holds desktopBusy for exactly the span of one long operation, also when
// that operation unwinds.
class BusyScope {
 public:
  explicit BusyScope(DesktopBridge& bridge) : bridge_(bridge) { bridge_.desktopBusy = true; }
  ~BusyScope() { bridge_.desktopBusy = false; }

  BusyScope(const BusyScope&) = delete;
  BusyScope& operator=(const BusyScope&) = delete;

 private:
  DesktopBridge& bridge_;
};

// The boolean argument, or nothing when it is absent or of another type.
std::optional<bool> BoolArgument(const flutter::MethodCall& call) {
  const flutter::EncodableValue* arguments = call.arguments();
  if (arguments == nullptr) return std::nullopt;
  if (const bool* value = std::get_if<bool>(arguments)) return *value;
  return std::nullopt;
}

// Refuses long operations while another runs or once the host is closing.
bool RefuseLongOperation(const DesktopBridge& bridge, flutter::MethodResult& result) {
  if (!bridge.desktopBusy && !bridge.quitting) return false;
  ReplyError(result, kDesktopBusy, kOperationInProgress);
  return true;
}

struct InstallerArguments {
  const std::string* path;
  const std::string* sha256;
  uint64_t size;
};

std::optional<InstallerArguments> ParseInstallerArguments(
    const flutter::EncodableValue* arguments) {
  if (arguments == nullptr) return std::nullopt;
  const auto* map = std::get_if<flutter::EncodableValueMap>(arguments);
  if (map == nullptr) return std::nullopt;

  const std::string* path = FindStringValue(*map, "path");
  const std::string* sha256 = FindStringValue(*map, "sha256");
  int64_t size = 0;
  auto sizeEntry = map->find(flutter::EncodableValue(std::string("size")));
  if (sizeEntry != map->end()) {
    if (const auto* small = std::get_if<int32_t>(&sizeEntry->second)) {
      size = *small;
    } else if (const auto* large = std::get_if<int64_t>(&sizeEntry->second)) {
      size = *large;
    }
  }
  // Three entries with these three keys present leave no room for another.
  if (map->size() != 3 || path == nullptr || sha256 == nullptr || !IsSha256Hex(*sha256) ||
      size < 1 || size > kMaxInstallerSize) {
    return std::nullopt;
  }
  return InstallerArguments{path, sha256, static_cast<uint64_t>(size)};
}

void HandleInitialize(DesktopBridge& bridge, DesktopOperations& operations,
                      flutter::MethodResult& result) {
  bridge.initialized = true;
  if (!bridge.trayAvailable && !bridge.quitting) operations.EnsureTrayIcon();
  flutter::EncodableValueMap reply;
  reply[flutter::EncodableValue("autostart")] = flutter::EncodableValue(bridge.autostart);
  reply[flutter::EncodableValue("trayAvailable")] = flutter::EncodableValue(bridge.trayAvailable);
  result.Success(flutter::EncodableValue(std::move(reply)));
}

void HandleUpdateConnection(DesktopBridge& bridge, DesktopOperations& operations,
                            const flutter::MethodCall& call, flutter::MethodResult& result) {
  const flutter::EncodableValue* arguments = call.arguments();
  const std::string* name = arguments != nullptr ? std::get_if<std::string>(arguments) : nullptr;
  if (name == nullptr || !ParseConnectionState(*name)) {
    ReplyError(result, kInvalidArguments, "Expected a VPN connection state.");
    return;
  }
  bridge.connectionState = *name;
  operations.RefreshTrayTooltip();
  result.Success();
}

void HandleSetCloseToTray(DesktopBridge& bridge, const flutter::MethodCall& call,
                          flutter::MethodResult& result) {
  std::optional<bool> enable = BoolArgument(call);
  if (!enable) {
    ReplyError(result, kInvalidArguments, "Expected a boolean preference.");
    return;
  }
  bridge.closeToTray = *enable;
  result.Success();
}

void HandleSetRunAtLogin(DesktopOperations& operations, const flutter::MethodCall& call,
                         flutter::MethodResult& result) {
  std::optional<bool> enable = BoolArgument(call);
  if (!enable) {
    ReplyError(result, kInvalidArguments, "Expected a boolean preference.");
    return;
  }
  uint32_t status = operations.SetRunAtLogin(*enable);
  if (status != 0) {
    ReplyWin32Error(result, "run_at_login_failed", "Could not update the login startup preference.",
                    status);
    return;
  }
  result.Success();
}

void HandleQuit(DesktopBridge& bridge, DesktopOperations& operations,
                flutter::MethodResult& result) {
  // A modal dialog is still running on this thread; closing under it would
  // pull the window away from its own loop.
  if (bridge.desktopBusy) {
    ReplyError(result, kDesktopBusy, "Close the native dialog before quitting.");
    return;
  }
  if (!bridge.quitting) {
    uint32_t status = operations.PostQuitRequest();
    if (status != 0) {
      // quitting stays clear so that a later "quit" tries again.
      ReplyWin32Error(result, "quit_failed", "Could not close the application.", status);
      return;
    }
  }
  bridge.quitting = true;
  result.Success();
}

void HandleRepairService(DesktopBridge& bridge, DesktopOperations& operations,
                         const flutter::MethodCall& call, flutter::MethodResult& result) {
  if (RefuseLongOperation(bridge, result)) return;
  const flutter::EncodableValue* arguments = call.arguments();
  if (arguments != nullptr && !arguments->IsNull()) {
    ReplyError(result, kInvalidArguments, "Service repair accepts no arguments.");
    return;
  }
  BusyScope busy(bridge);
  operations.LaunchServiceRepair(result);
}

void HandleLaunchInstaller(DesktopBridge& bridge, DesktopOperations& operations,
                           const flutter::MethodCall& call, flutter::MethodResult& result) {
  if (RefuseLongOperation(bridge, result)) return;
  std::optional<InstallerArguments> installer = ParseInstallerArguments(call.arguments());
  if (!installer) {
    ReplyError(result, kInvalidArguments, "Expected a verified installer path, size and SHA-256.");
    return;
  }
  BusyScope busy(bridge);
  operations.LaunchUpdateInstaller(*installer->path, *installer->sha256, installer->size, result);
}

void HandleSaveDiagnostics(DesktopBridge& bridge, DesktopOperations& operations,
                           const flutter::MethodCall& call, flutter::MethodResult& result) {
  if (RefuseLongOperation(bridge, result)) return;
  BusyScope busy(bridge);
  operations.SaveDiagnostics(call.arguments(), result);
}

}  // namespace

void HandleDesktopMethod(DesktopBridge& bridge, DesktopOperations& operations,
                         const flutter::MethodCall& call,
                         std::unique_ptr<flutter::MethodResult> result) {
  const std::string& method = call.method_name();
  flutter::MethodResult& reply = *result;
  if (method == "initialize") {
    HandleInitialize(bridge, operations, reply);
  } else if (method == "updateConnection") {
    HandleUpdateConnection(bridge, operations, call, reply);
  } else if (method == "showWindow") {
    operations.BringWindowToFront();
    reply.Success();
  } else if (method == "setCloseToTray") {
    HandleSetCloseToTray(bridge, call, reply);
  } else if (method == "setRunAtLogin") {
    HandleSetRunAtLogin(operations, call, reply);
  } else if (method == "quit") {
    HandleQuit(bridge, operations, reply);
  } else if (method == "repairService") {
    HandleRepairService(bridge, operations, call, reply);
  } else if (method == "launchInstaller") {
    HandleLaunchInstaller(bridge, operations, call, reply);
  } else if (method == "saveDiagnostics") {
    HandleSaveDiagnostics(bridge, operations, call, reply);
  } else {
    reply.NotImplemented();
  }
}

bool IsSha256Hex(std::string_view text) {
  if (text.size() != 64) return false;
  for (char c : text) {
    if (!((c >= '0' && c <= '9') || (c >= 'a' && c <= 'f'))) return false;
  }
  return true;
}

const std::string* FindStringValue(const flutter::EncodableValueMap& map, const std::string& key) {
  auto entry = map.find(flutter::EncodableValue(key));
  if (entry == map.end()) return nullptr;
  return std::get_if<std::string>(&entry->second);
}

}  // namespace veltrix
