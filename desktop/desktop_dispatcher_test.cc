// The dispatcher against a fake host. The end-to-end scenarios send every
// argument error, unknown name and plain success through the real bundle;
// these cases reach what they cannot: failing Windows calls, a host that is
// already quitting, an operation that throws.
#include "desktop/desktop_dispatcher.h"

#include <gtest/gtest.h>

#include <functional>
#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

#include "desktop/testing/recording_method_result.h"

namespace veltrix {
namespace {

using flutter::EncodableValue;
using flutter::EncodableValueMap;
using Log = std::vector<std::string>;

// Stands in for the host window: a real lifecycle whose quit message posts
// as the test says, and the calls that matter here, logged; the long
// operations check that they run while the host is busy.
class FakeHost : public DesktopOperations, public LifecycleDriver {
 public:
  bool EnsureTrayIcon() override {
    log.push_back("tray");
    return !lifecycle_->quitting();
  }
  void ShowConnection(ConnectionState) override {}
  void ShowLanguage(Language) override {}
  void BringWindowToFront() override {}
  Win32Result<> SetRunAtLogin(bool enable) override {
    return Windows(enable ? "login on" : "login off");
  }
  RepairLaunch LaunchServiceRepair() override { return Long("repair"); }
  InstallerLaunch LaunchUpdateInstaller(const InstallerRequest&) override {
    return Long("install");
  }
  DiagnosticsSave SaveDiagnostics(const DiagnosticsFields& fields) override {
    Long("save " + fields.connection + "|" + fields.appVersion.value_or("-") + "|" +
         fields.failureCategory.value_or("-"));
    return std::optional<std::string>();
  }

  const HostLifecycle& lifecycle() const override { return *lifecycle_; }
  Win32Result<LifecycleActions> Dispatch(LifecycleEvent event) override {
    LifecycleActions actions = lifecycle_->Handle(event, {});
    for (LifecycleAction action : actions) {
      if (action != LifecycleAction::kPostQuit) continue;
      if (const Win32Result<> posted = Windows("post"); !posted) {
        lifecycle_->Handle(LifecycleEvent::kQuitPostFailed, {});
        return posted.error();
      }
    }
    return actions;
  }

  // A created host, quitting or not.
  void Start(bool quitting) {
    lifecycle_.emplace(true);
    lifecycle_->Handle(LifecycleEvent::kCreated, {});
    if (quitting) lifecycle_->Handle(LifecycleEvent::kUiQuit, {});
  }

  // The Windows error of the quit post and of the Run value, 0 for success.
  uint32_t windowsError = 0;
  std::function<void()> longOperation = [] {};
  Log log;

 private:
  Win32Result<> Windows(const char* what) {
    log.push_back(what);
    if (windowsError != 0) return Win32Error(windowsError);
    return Done{};
  }
  Done Long(const std::string& what) {
    log.push_back(what);
    EXPECT_TRUE(lifecycle_->busy()) << what;
    longOperation();
    return Done{};
  }

  std::optional<HostLifecycle> lifecycle_;
};

RecordedReply Reply(std::string code = "", std::string message = "",
                    std::optional<EncodableValue> value = std::nullopt) {
  return {1, false, std::move(code), std::move(message), std::move(value)};
}

class DesktopDispatcherTest : public ::testing::Test {
 protected:
  // One call on a fresh state, quitting or not, with the host's Windows
  // calls failing with `error` (0: none).
  RecordedReply Call(const std::string& method, std::optional<EncodableValue> arguments = {},
                     bool quitting = false, uint32_t error = 0) {
    state_ = DesktopState();
    host_.Start(quitting);
    host_.windowsError = error;
    host_.log.clear();
    RecordedReply reply;
    flutter::MethodCall call(method,
                             arguments ? std::make_unique<EncodableValue>(*arguments) : nullptr);
    HandleDesktopMethod(state_, host_, host_, call,
                        std::make_unique<RecordingMethodResult>(&reply));
    EXPECT_FALSE(host_.lifecycle().busy());
    return reply;
  }

  DesktopState state_;
  FakeHost host_;
};

EncodableValue Map(std::vector<std::pair<const char*, EncodableValue>> entries) {
  EncodableValueMap map;
  for (auto& [key, value] : entries) map.emplace(EncodableValue(key), std::move(value));
  return EncodableValue(std::move(map));
}

TEST_F(DesktopDispatcherTest, FailingWindowsCallsCarryTheirCode) {
  EXPECT_EQ(Call("setRunAtLogin", EncodableValue(false), false, 5),
            Reply("run_at_login_failed", "Could not update the login startup preference.",
                  EncodableValue(int64_t{5})));
  EXPECT_EQ(host_.log, Log{"login off"});
  // Widened without sign extension; a failed post leaves the host open to a later "quit".
  EXPECT_EQ(Call("quit", {}, false, 0x80070005u),
            Reply("quit_failed", "Could not close the application.",
                  EncodableValue(int64_t{2147942405})));
  EXPECT_EQ(host_.log, Log{"post"});
  EXPECT_FALSE(host_.lifecycle().quitting());
}

TEST_F(DesktopDispatcherTest, OnceQuitting) {
  // No icon is added, and the user interface hears so.
  EXPECT_EQ(Call("initialize", {}, true),
            Reply("", "", Map({{"autostart", true}, {"trayAvailable", false}})));
  EXPECT_EQ(host_.log, Log{"tray"});
  // The host may have started quitting by itself: nothing more to post.
  EXPECT_EQ(Call("quit", {}, true), Reply());
  // Long operations are refused before their arguments are looked at.
  EXPECT_EQ(Call("repairService", EncodableValue("bad"), true),
            Reply("desktop_busy", "Another desktop operation is in progress."));
  EXPECT_EQ(host_.log, Log{});
  EXPECT_TRUE(host_.lifecycle().quitting());
}

// The user interface's usual call: all three fields.
TEST_F(DesktopDispatcherTest, SavesWithAllThreeFields) {
  EXPECT_EQ(Call("saveDiagnostics", Map({{"connectionState", "error"},
                                         {"appVersion", "1.2.3"},
                                         {"failureCategory", "none"}})),
            Reply());
  EXPECT_EQ(host_.log, Log{"save error|1.2.3|none"});
}

TEST_F(DesktopDispatcherTest, BusyEndsWhenALongOperationThrows) {
  host_.longOperation = [] { throw std::runtime_error("boom"); };
  EXPECT_THROW(Call("repairService"), std::runtime_error);
  EXPECT_FALSE(host_.lifecycle().busy());
}

}  // namespace
}  // namespace veltrix
