// The dispatcher against a fake host. The end-to-end scenarios send every
// argument error through the real bundle; these cases reach what they cannot:
// failing Windows calls, a host that is already quitting, an operation that
// throws.
#include "desktop/desktop_dispatcher.h"

#include <gtest/gtest.h>

#include <functional>
#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

#include "desktop/desktop_arguments.h"
#include "desktop/testing/recording_method_result.h"

namespace veltrix {
namespace {

using flutter::EncodableValue;
using flutter::EncodableValueMap;
using Log = std::vector<std::string>;

// Stands in for the host window: logs every call and checks that the long
// operations run while the host is busy.
class FakeHost : public DesktopOperations {
 public:
  explicit FakeHost(const DesktopState& state) : state_(state) {}

  bool EnsureTrayIcon() override {
    log.push_back("tray");
    if (!iconShown && !state_.quitting()) iconShown = shellAcceptsIcon;
    return iconShown;
  }
  void ShowConnection(ConnectionState state) override {
    log.push_back("tray shows " + std::string(ConnectionStateName(state)));
  }
  void BringWindowToFront() override { log.push_back("front"); }
  Win32Result<> PostQuitRequest() override { return Windows("post"); }
  Win32Result<> SetRunAtLogin(bool enable) override {
    return Windows(enable ? "login on" : "login off");
  }
  RepairLaunch LaunchServiceRepair() override {
    Long("repair");
    return Done{};
  }
  InstallerLaunch LaunchUpdateInstaller(const InstallerRequest& request) override {
    Long("install " + request.path + "|" + std::to_string(request.size));
    return Done{};
  }
  DiagnosticsSave SaveDiagnostics(const DiagnosticsFields& fields) override {
    Long("save " + fields.connection + "|" + fields.appVersion.value_or("-") + "|" +
         fields.failureCategory.value_or("-"));
    return std::optional<std::string>();
  }

  bool shellAcceptsIcon = true;
  bool iconShown = false;
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
  void Long(const std::string& what) {
    log.push_back(what);
    EXPECT_TRUE(state_.busy()) << what;
    longOperation();
  }

  const DesktopState& state_;
};

RecordedReply Err(std::string code, std::string message,
                  std::optional<EncodableValue> details = std::nullopt) {
  RecordedReply reply;
  reply.answers = 1;
  reply.code = std::move(code);
  reply.message = std::move(message);
  reply.value = std::move(details);
  return reply;
}
RecordedReply Ok(std::optional<EncodableValue> value = std::nullopt) {
  return Err("", "", std::move(value));
}
RecordedReply NotImplemented() {
  RecordedReply reply = Ok();
  reply.notImplemented = true;
  return reply;
}
EncodableValue InitializeReply(bool autostart, bool trayAvailable) {
  return EncodableValue(
      EncodableValueMap{{EncodableValue("autostart"), EncodableValue(autostart)},
                        {EncodableValue("trayAvailable"), EncodableValue(trayAvailable)}});
}

class DesktopDispatcherTest : public ::testing::Test {
 protected:
  RecordedReply Call(const std::string& method,
                     std::optional<EncodableValue> arguments = std::nullopt) {
    RecordedReply reply;
    flutter::MethodCall call(method,
                             arguments ? std::make_unique<EncodableValue>(*arguments) : nullptr);
    HandleDesktopMethod(state_, host_, call, std::make_unique<RecordingMethodResult>(&reply));
    return reply;
  }

  DesktopState state_{true};
  FakeHost host_{state_};
};

TEST_F(DesktopDispatcherTest, AnswersFromTheStateAndTheHost) {
  const EncodableValue installer(EncodableValueMap{
      {EncodableValue("path"), EncodableValue(" C:\\Program Files\\Setup \xc3\xa9.exe ")},
      {EncodableValue("sha256"), EncodableValue(std::string(64, 'a'))},
      {EncodableValue("size"), EncodableValue(int32_t{536870912})}});
  // The user interface's usual call: all three fields.
  const EncodableValue fields(
      EncodableValueMap{{EncodableValue("connectionState"), EncodableValue("error")},
                        {EncodableValue("appVersion"), EncodableValue("1.2.3")},
                        {EncodableValue("failureCategory"), EncodableValue("none")}});
  const struct {
    const char* method;
    std::optional<EncodableValue> arguments;
    bool quitting;
    uint32_t windowsError;
    RecordedReply reply;
    Log log;
  } cases[] = {
      // Once quitting no icon is added, and the user interface hears so.
      {"initialize", std::nullopt, true, 0, Ok(InitializeReply(true, false)), {"tray"}},
      {"updateConnection",
       EncodableValue("reconnecting"),
       false,
       0,
       Ok(),
       {"tray shows reconnecting"}},
      // Whether anything shows once quitting is the window's decision.
      {"showWindow", std::nullopt, true, 0, Ok(), {"front"}},
      {"setRunAtLogin",
       EncodableValue(false),
       false,
       5,
       Err("run_at_login_failed", "Could not update the login startup preference.",
           EncodableValue(int64_t{5})),
       {"login off"}},
      // Widened without sign extension.
      {"quit",
       std::nullopt,
       false,
       0x80070005u,
       Err("quit_failed", "Could not close the application.", EncodableValue(int64_t{2147942405})),
       {"post"}},
      // The host may have started quitting by itself: nothing more to post.
      {"quit", std::nullopt, true, 0, Ok(), {}},
      // Paths and sizes reach the launch exactly as received.
      {"launchInstaller",
       installer,
       false,
       0,
       Ok(),
       {"install  C:\\Program Files\\Setup \xc3\xa9.exe |536870912"}},
      {"saveDiagnostics", fields, false, 0, Ok(), {"save error|1.2.3|none"}},
      // Closing refuses long operations before their arguments are looked at.
      {"repairService",
       EncodableValue("bad"),
       true,
       0,
       Err("desktop_busy", "Another desktop operation is in progress."),
       {}},
      // Exact bytes, or nothing.
      {"quit ", std::nullopt, false, 0, NotImplemented(), {}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(testing::Message() << c.method << " row " << &c - cases);
    state_ = DesktopState(true);
    if (c.quitting) state_.BeginQuitting();
    host_.iconShown = false;
    host_.windowsError = c.windowsError;
    host_.log.clear();
    EXPECT_EQ(Call(c.method, c.arguments), c.reply);
    EXPECT_EQ(host_.log, c.log);
    EXPECT_FALSE(state_.busy());
    // A failed post leaves the host open to a later "quit".
    if (std::string(c.method) == "quit") {
      EXPECT_EQ(state_.quitting(), c.reply.code.empty());
    }
  }
}

TEST_F(DesktopDispatcherTest, BusyEndsWhenALongOperationThrows) {
  host_.longOperation = [] { throw std::runtime_error("boom"); };
  EXPECT_THROW(Call("repairService"), std::runtime_error);
  EXPECT_FALSE(state_.busy());
}

}  // namespace
}  // namespace veltrix
