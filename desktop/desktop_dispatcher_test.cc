#include "desktop/desktop_dispatcher.h"

#include <gtest/gtest-spi.h>
#include <gtest/gtest.h>

#include <cstdint>
#include <functional>
#include <limits>
#include <memory>
#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

#include "desktop/testing/recording_method_result.h"
#include "engine_client/engine_method_result.h"
#include "engine_client/method_call.h"
#include "engine_client/standard_method_codec.h"

namespace veltrix {
namespace {

using flutter::EncodableValue;
using flutter::EncodableValueList;
using flutter::EncodableValueMap;
using Bytes = std::vector<uint8_t>;

constexpr char kDigest[] = "0123456789abcdef0123456789abcdef0123456789abcdef0123456789abcdef";
constexpr char kPath[] = "C:\\Users\\me\\AppData\\Local\\Temp\\VELTRIX-updates\\setup.exe";

// Stands in for the host window: records every call, and mirrors what the
// window does to the shared flags.
class FakeDesktopOperations : public DesktopOperations {
 public:
  explicit FakeDesktopOperations(DesktopBridge& bridge) : bridge_(bridge) {}

  bool EnsureTrayIcon() override {
    ++ensureTrayCalls;
    if (!bridge_.trayAvailable && !bridge_.quitting) bridge_.trayAvailable = shellAcceptsIcon;
    return bridge_.trayAvailable;
  }
  void RefreshTrayTooltip() override {
    ++refreshCalls;
    tooltipState = bridge_.connectionState;
  }
  void BringWindowToFront() override { ++bringCalls; }
  uint32_t PostQuitRequest() override {
    ++postCalls;
    return postError;
  }
  uint32_t SetRunAtLogin(bool enable) override {
    runAtLoginCalls.push_back(enable);
    return runAtLoginError;
  }
  void LaunchServiceRepair(flutter::MethodResult& result) override {
    RunLong("repairService", result);
  }
  void LaunchUpdateInstaller(const std::string& path, const std::string& sha256, uint64_t size,
                             flutter::MethodResult& result) override {
    installerPath = path;
    installerSha256 = sha256;
    installerSize = size;
    RunLong("launchInstaller", result);
  }
  void SaveDiagnostics(const EncodableValue* arguments, flutter::MethodResult& result) override {
    diagnosticsArguments = arguments != nullptr ? std::optional(*arguments) : std::nullopt;
    RunLong("saveDiagnostics", result);
  }

  int TotalCalls() const {
    return ensureTrayCalls + refreshCalls + bringCalls + postCalls +
           static_cast<int>(runAtLoginCalls.size() + longCalls.size());
  }

  // Behaviour.
  bool shellAcceptsIcon = true;
  uint32_t postError = 0;
  uint32_t runAtLoginError = 0;
  // What a long operation does with its result; answers success by default.
  std::function<void(flutter::MethodResult&)> longOperation;

  // Record.
  int ensureTrayCalls = 0;
  int refreshCalls = 0;
  int bringCalls = 0;
  int postCalls = 0;
  std::string tooltipState;
  std::vector<bool> runAtLoginCalls;
  std::vector<std::string> longCalls;
  std::vector<bool> busyDuringLongCalls;
  std::string installerPath;
  std::string installerSha256;
  uint64_t installerSize = 0;
  std::optional<EncodableValue> diagnosticsArguments;

 private:
  void RunLong(const char* name, flutter::MethodResult& result) {
    longCalls.push_back(name);
    busyDuringLongCalls.push_back(bridge_.desktopBusy);
    if (longOperation) {
      longOperation(result);
    } else {
      result.Success();
    }
  }

  DesktopBridge& bridge_;
};

EncodableValue Str(const char* text) { return EncodableValue(text); }

EncodableValue InstallerArguments(EncodableValue size, const std::string& sha256 = kDigest,
                                  const std::string& path = kPath) {
  EncodableValueMap map;
  map[Str("path")] = EncodableValue(path);
  map[Str("sha256")] = EncodableValue(sha256);
  map[Str("size")] = std::move(size);
  return EncodableValue(std::move(map));
}

class DesktopDispatcherTest : public ::testing::Test {
 protected:
  RecordedReply Call(const std::string& method,
                     const std::optional<EncodableValue>& arguments = std::nullopt) {
    RecordedReply reply;
    flutter::MethodCall call(method,
                             arguments ? std::make_unique<EncodableValue>(*arguments) : nullptr);
    HandleDesktopMethod(bridge_, operations_, call,
                        std::make_unique<RecordingMethodResult>(&reply));
    EXPECT_EQ(reply.answers, 1) << method;
    return reply;
  }

  static void ExpectSuccess(const RecordedReply& reply,
                            const std::optional<EncodableValue>& value = std::nullopt) {
    EXPECT_TRUE(reply.IsSuccess());
    EXPECT_TRUE(reply.value == value);
  }

  static void ExpectError(const RecordedReply& reply, const std::string& code,
                          const std::string& message,
                          const std::optional<EncodableValue>& details = std::nullopt) {
    EXPECT_TRUE(reply.IsError());
    EXPECT_EQ(reply.code, code);
    EXPECT_EQ(reply.message, message);
    EXPECT_TRUE(reply.value == details) << "details differ for " << code;
  }

  DesktopBridge bridge_;
  FakeDesktopOperations operations_{bridge_};
};

EncodableValue InitializeReply(bool autostart, bool trayAvailable) {
  EncodableValueMap map;
  map[Str("autostart")] = EncodableValue(autostart);
  map[Str("trayAvailable")] = EncodableValue(trayAvailable);
  return EncodableValue(std::move(map));
}

TEST_F(DesktopDispatcherTest, InitializeIgnoresItsArgumentAndAddsTheIconOnce) {
  const std::vector<std::optional<EncodableValue>> arguments = {
      std::nullopt, EncodableValue(), Str("anything"), EncodableValue(int32_t{7}),
      EncodableValue(EncodableValueMap{{Str("autostart"), EncodableValue(true)}})};
  for (const auto& argument : arguments) {
    DesktopBridge fresh;
    bridge_ = fresh;
    operations_.ensureTrayCalls = 0;
    ExpectSuccess(Call("initialize", argument), InitializeReply(false, true));
    ExpectSuccess(Call("initialize", argument), InitializeReply(false, true));
    EXPECT_TRUE(bridge_.initialized);
    EXPECT_EQ(operations_.ensureTrayCalls, 1);
  }
}

TEST_F(DesktopDispatcherTest, InitializeReportsARefusedIconAndAutostart) {
  bridge_.autostart = true;
  operations_.shellAcceptsIcon = false;
  ExpectSuccess(Call("initialize"), InitializeReply(true, false));
  // Still missing, so the next announcement tries again.
  ExpectSuccess(Call("initialize"), InitializeReply(true, false));
  EXPECT_EQ(operations_.ensureTrayCalls, 2);
  EXPECT_TRUE(bridge_.initialized);
}

TEST_F(DesktopDispatcherTest, InitializeAddsNoIconOnceQuitting) {
  bridge_.quitting = true;
  ExpectSuccess(Call("initialize"), InitializeReply(false, false));
  EXPECT_EQ(operations_.ensureTrayCalls, 0);
  EXPECT_TRUE(bridge_.initialized);
}

TEST_F(DesktopDispatcherTest, UpdateConnectionStoresTheNameAndRefreshesTheTooltip) {
  for (const char* name :
       {"connecting", "connected", "reconnecting", "disconnecting", "error", "disconnected"}) {
    ExpectSuccess(Call("updateConnection", Str(name)));
    EXPECT_EQ(bridge_.connectionState, name);
    EXPECT_EQ(operations_.tooltipState, name);
  }
  EXPECT_EQ(operations_.refreshCalls, 6);
}

TEST_F(DesktopDispatcherTest, ShowWindowAlwaysSucceeds) {
  ExpectSuccess(Call("showWindow", Str("ignored")));
  bridge_.quitting = true;
  ExpectSuccess(Call("showWindow"));
  // Whether anything shows once quitting is the window's decision.
  EXPECT_EQ(operations_.bringCalls, 2);
}

TEST_F(DesktopDispatcherTest, SetCloseToTrayFollowsTheArgument) {
  ExpectSuccess(Call("setCloseToTray", EncodableValue(false)));
  EXPECT_FALSE(bridge_.closeToTray);
  ExpectSuccess(Call("setCloseToTray", EncodableValue(true)));
  EXPECT_TRUE(bridge_.closeToTray);
}

TEST_F(DesktopDispatcherTest, SetRunAtLoginPassesTheBooleanAndReportsFailures) {
  ExpectSuccess(Call("setRunAtLogin", EncodableValue(true)));
  ExpectSuccess(Call("setRunAtLogin", EncodableValue(false)));
  EXPECT_EQ(operations_.runAtLoginCalls, (std::vector<bool>{true, false}));

  const DesktopBridge before = bridge_;
  for (uint32_t status : {5u, 161u, 0x80070005u}) {
    operations_.runAtLoginError = status;
    ExpectError(Call("setRunAtLogin", EncodableValue(true)), "run_at_login_failed",
                "Could not update the login startup preference.",
                EncodableValue(static_cast<int64_t>(status)));
  }
  EXPECT_TRUE(bridge_ == before);
}

TEST_F(DesktopDispatcherTest, RejectedArgumentsChangeNothing) {
  struct Case {
    std::string method;
    std::optional<EncodableValue> arguments;
    std::string message;
  };
  const std::string state = "Expected a VPN connection state.";
  const std::string boolean = "Expected a boolean preference.";
  const std::string repair = "Service repair accepts no arguments.";
  const std::string installer = "Expected a verified installer path, size and SHA-256.";
  const std::vector<Case> cases = {
      {"updateConnection", std::nullopt, state},
      {"updateConnection", EncodableValue(), state},
      {"updateConnection", Str("Connected"), state},
      {"updateConnection", Str(""), state},
      {"updateConnection", Str("connected "), state},
      {"updateConnection", EncodableValue(std::string("connected\0", 10)), state},
      {"updateConnection", EncodableValue(int32_t{1}), state},
      {"updateConnection", EncodableValue(EncodableValueList{Str("connected")}), state},
      {"setCloseToTray", std::nullopt, boolean},
      {"setCloseToTray", EncodableValue(int32_t{1}), boolean},
      {"setCloseToTray", Str("true"), boolean},
      {"setCloseToTray", EncodableValue(), boolean},
      {"setRunAtLogin", std::nullopt, boolean},
      {"setRunAtLogin", EncodableValue(int64_t{0}), boolean},
      {"setRunAtLogin", Str("false"), boolean},
      {"repairService", EncodableValue(EncodableValueMap{}), repair},
      {"repairService", EncodableValue(EncodableValueList{}), repair},
      {"repairService", EncodableValue(false), repair},
      {"repairService", EncodableValue(int32_t{0}), repair},
      {"repairService", Str(""), repair},
      {"launchInstaller", std::nullopt, installer},
      {"launchInstaller", EncodableValue(), installer},
      {"launchInstaller", Str(kPath), installer},
      {"launchInstaller", EncodableValue(EncodableValueList{Str(kPath), Str(kDigest)}), installer},
  };
  bridge_.initialized = true;
  bridge_.closeToTray = false;
  bridge_.connectionState = "connected";
  const DesktopBridge before = bridge_;
  for (const Case& c : cases) {
    SCOPED_TRACE(c.method);
    ExpectError(Call(c.method, c.arguments), "invalid_arguments", c.message);
    EXPECT_TRUE(bridge_ == before);
  }
  EXPECT_EQ(operations_.TotalCalls(), 0);
}

TEST_F(DesktopDispatcherTest, InstallerArgumentCheck) {
  struct Case {
    const char* what;
    EncodableValue arguments;
    bool accepted;
  };
  auto withExtra = [](EncodableValue base, EncodableValue key) {
    auto map = std::get<EncodableValueMap>(base);
    map[std::move(key)] = Str("x");
    return EncodableValue(std::move(map));
  };
  auto without = [](EncodableValue base, const char* key) {
    auto map = std::get<EncodableValueMap>(base);
    map.erase(Str(key));
    return EncodableValue(std::move(map));
  };
  std::string upper = kDigest;
  upper[63] = 'F';
  std::string notHex = kDigest;
  notHex[0] = 'g';
  const EncodableValue valid = InstallerArguments(EncodableValue(int64_t{1024}));
  EncodableValueMap pathNotString = std::get<EncodableValueMap>(valid);
  pathNotString[Str("path")] = EncodableValue(int32_t{1});
  EncodableValueMap shaAsBytes = std::get<EncodableValueMap>(valid);
  shaAsBytes[Str("sha256")] = EncodableValue(std::vector<uint8_t>(32, 0xab));
  // Three entries, but "size" is not among them.
  EncodableValueMap sizeMissing = std::get<EncodableValueMap>(without(valid, "size"));
  sizeMissing[Str("length")] = EncodableValue(int64_t{1024});
  // The keys must be strings: an integer key 0 is not "path".
  EncodableValueMap pathKeyNotString = std::get<EncodableValueMap>(without(valid, "path"));
  pathKeyNotString[EncodableValue(int32_t{0})] = Str(kPath);

  const std::vector<Case> cases = {
      {"largest size", InstallerArguments(EncodableValue(int64_t{536870912})), true},
      {"32-bit size", InstallerArguments(EncodableValue(int32_t{1})), true},
      {"64-bit size 1", InstallerArguments(EncodableValue(int64_t{1})), true},
      {"too large", InstallerArguments(EncodableValue(int64_t{536870913})), false},
      {"32-bit too large", InstallerArguments(EncodableValue(int32_t{536870913})), false},
      {"zero", InstallerArguments(EncodableValue(int64_t{0})), false},
      {"negative 32-bit", InstallerArguments(EncodableValue(int32_t{-1})), false},
      {"negative 64-bit", InstallerArguments(EncodableValue(int64_t{-1})), false},
      {"most negative", InstallerArguments(EncodableValue(std::numeric_limits<int64_t>::min())),
       false},
      {"double", InstallerArguments(EncodableValue(1.5)), false},
      {"string size", InstallerArguments(Str("1024")), false},
      {"upper-case digest", InstallerArguments(EncodableValue(int64_t{1}), upper), false},
      {"non-hex digest", InstallerArguments(EncodableValue(int64_t{1}), notHex), false},
      {"short digest",
       InstallerArguments(EncodableValue(int64_t{1}), std::string(kDigest).substr(1)), false},
      {"fourth key", withExtra(valid, Str("extra")), false},
      {"fourth non-string key", withExtra(valid, EncodableValue()), false},
      {"two keys", without(valid, "size"), false},
      {"size key replaced", EncodableValue(sizeMissing), false},
      {"path not a string", EncodableValue(pathNotString), false},
      {"digest as bytes", EncodableValue(shaAsBytes), false},
      {"integer key", EncodableValue(pathKeyNotString), false},
      {"empty map", EncodableValue(EncodableValueMap{}), false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    operations_.longCalls.clear();
    RecordedReply reply = Call("launchInstaller", c.arguments);
    if (c.accepted) {
      ExpectSuccess(reply);
      EXPECT_EQ(operations_.longCalls.size(), 1u);
    } else {
      ExpectError(reply, "invalid_arguments",
                  "Expected a verified installer path, size and SHA-256.");
      EXPECT_TRUE(operations_.longCalls.empty());
    }
  }
}

TEST_F(DesktopDispatcherTest, InstallerArgumentsArePassedAsReceived) {
  const std::string path = " C:\\Program Files\\Setup \xc3\xa9.exe ";
  ExpectSuccess(Call("launchInstaller",
                     InstallerArguments(EncodableValue(int32_t{536870912}), kDigest, path)));
  EXPECT_EQ(operations_.installerPath, path);
  EXPECT_EQ(operations_.installerSha256, kDigest);
  EXPECT_EQ(operations_.installerSize, 536870912u);
}

TEST_F(DesktopDispatcherTest, RepairServiceRunsWithoutArgumentOrWithNull) {
  ExpectSuccess(Call("repairService"));
  ExpectSuccess(Call("repairService", EncodableValue()));
  EXPECT_EQ(operations_.longCalls, (std::vector<std::string>{"repairService", "repairService"}));
}

TEST_F(DesktopDispatcherTest, SaveDiagnosticsPassesItsArgumentsThrough) {
  ExpectSuccess(Call("saveDiagnostics"));
  EXPECT_FALSE(operations_.diagnosticsArguments.has_value());

  const EncodableValue fields(EncodableValueMap{{Str("connectionState"), Str("Nonsense")}});
  ExpectSuccess(Call("saveDiagnostics", fields));
  EXPECT_TRUE(operations_.diagnosticsArguments == fields);
}

TEST_F(DesktopDispatcherTest, LongOperationsAnswerThemselvesWhileBusyIsSet) {
  // A cancelled dialog is a success with null; errors come from the operation.
  int turn = 0;
  operations_.longOperation = [&](flutter::MethodResult& result) {
    if (turn++ == 0) {
      result.Success();
    } else {
      result.Error("diagnostics_save_failed", "Could not save the diagnostics report.",
                   EncodableValue(int64_t{32}));
    }
  };
  ExpectSuccess(Call("saveDiagnostics"));
  ExpectError(Call("launchInstaller", InstallerArguments(EncodableValue(int64_t{5}))),
              "diagnostics_save_failed", "Could not save the diagnostics report.",
              EncodableValue(int64_t{32}));
  ExpectError(Call("repairService"), "diagnostics_save_failed",
              "Could not save the diagnostics report.", EncodableValue(int64_t{32}));
  EXPECT_EQ(operations_.busyDuringLongCalls, (std::vector<bool>{true, true, true}));
  EXPECT_FALSE(bridge_.desktopBusy);
}

TEST_F(DesktopDispatcherTest, GuardComesBeforeArguments) {
  const std::vector<std::pair<std::string, std::optional<EncodableValue>>> calls = {
      {"repairService", EncodableValue(EncodableValueMap{})},
      {"repairService", std::nullopt},
      {"launchInstaller", Str("not a map")},
      {"launchInstaller", InstallerArguments(EncodableValue(int64_t{1}))},
      {"saveDiagnostics", EncodableValue(int32_t{3})},
  };
  for (bool busy : {true, false}) {
    bridge_.desktopBusy = busy;
    bridge_.quitting = !busy;
    const DesktopBridge before = bridge_;
    for (const auto& [method, arguments] : calls) {
      SCOPED_TRACE(method);
      ExpectError(Call(method, arguments), "desktop_busy",
                  "Another desktop operation is in progress.");
    }
    EXPECT_TRUE(bridge_ == before);
  }
  EXPECT_EQ(operations_.TotalCalls(), 0);
}

TEST_F(DesktopDispatcherTest, UnguardedMethodsWorkWhileBusyAndAfterQuit) {
  for (bool busy : {true, false}) {
    bridge_.desktopBusy = busy;
    bridge_.quitting = !busy;
    Call("initialize");
    ExpectSuccess(Call("updateConnection", Str("connecting")));
    ExpectSuccess(Call("showWindow"));
    ExpectSuccess(Call("setCloseToTray", EncodableValue(false)));
    ExpectSuccess(Call("setRunAtLogin", EncodableValue(true)));
    EXPECT_EQ(bridge_.desktopBusy, busy);
  }
  EXPECT_EQ(operations_.refreshCalls, 2);
  EXPECT_EQ(operations_.runAtLoginCalls.size(), 2u);
}

TEST_F(DesktopDispatcherTest, QuitPostsOnceAndAnswersEveryTime) {
  ExpectSuccess(Call("quit", Str("ignored")));
  ExpectSuccess(Call("quit"));
  EXPECT_EQ(operations_.postCalls, 1);
  EXPECT_TRUE(bridge_.quitting);

  // The host may have started quitting by itself: nothing more to post.
  DesktopBridge hostQuitting;
  hostQuitting.quitting = true;
  bridge_ = hostQuitting;
  ExpectSuccess(Call("quit"));
  EXPECT_EQ(operations_.postCalls, 1);
}

TEST_F(DesktopDispatcherTest, FailedQuitPostLeavesQuittingClear) {
  for (uint32_t status : {1400u, 0x80070005u}) {
    operations_.postError = status;
    // Widened without sign extension: 0x80070005 arrives as 2147942405.
    ExpectError(Call("quit"), "quit_failed", "Could not close the application.",
                EncodableValue(static_cast<int64_t>(status)));
    EXPECT_FALSE(bridge_.quitting);
  }
  EXPECT_EQ(static_cast<int64_t>(0x80070005u), 2147942405);
  operations_.postError = 0;
  ExpectSuccess(Call("quit"));
  EXPECT_TRUE(bridge_.quitting);
  EXPECT_EQ(operations_.postCalls, 3);
}

TEST_F(DesktopDispatcherTest, QuitIsRefusedWhileADialogIsOpen) {
  bridge_.desktopBusy = true;
  bridge_.quitting = true;  // not consulted before the busy check
  ExpectError(Call("quit"), "desktop_busy", "Close the native dialog before quitting.");
  bridge_.quitting = false;
  ExpectError(Call("quit"), "desktop_busy", "Close the native dialog before quitting.");
  EXPECT_FALSE(bridge_.quitting);
  EXPECT_EQ(operations_.postCalls, 0);
}

TEST_F(DesktopDispatcherTest, CallsArrivingDuringAModalLoop) {
  RecordedReply quit, installer, repair, closeToTray, connection;
  operations_.longOperation = [&](flutter::MethodResult& result) {
    quit = Call("quit");
    installer = Call("launchInstaller", InstallerArguments(EncodableValue(int64_t{1})));
    repair = Call("repairService");
    closeToTray = Call("setCloseToTray", EncodableValue(false));
    connection = Call("updateConnection", Str("connected"));
    result.Success();
  };
  ExpectSuccess(Call("saveDiagnostics"));

  ExpectError(quit, "desktop_busy", "Close the native dialog before quitting.");
  ExpectError(installer, "desktop_busy", "Another desktop operation is in progress.");
  ExpectError(repair, "desktop_busy", "Another desktop operation is in progress.");
  ExpectSuccess(closeToTray);
  ExpectSuccess(connection);
  EXPECT_EQ(operations_.longCalls, (std::vector<std::string>{"saveDiagnostics"}));
  EXPECT_FALSE(bridge_.desktopBusy);
  EXPECT_FALSE(bridge_.quitting);
  EXPECT_FALSE(bridge_.closeToTray);

  operations_.longOperation = nullptr;
  ExpectSuccess(Call("quit"));
  EXPECT_EQ(operations_.postCalls, 1);
}

TEST_F(DesktopDispatcherTest, BusyIsClearedWhenALongOperationThrows) {
  operations_.longOperation = [](flutter::MethodResult&) { throw std::runtime_error("boom"); };
  RecordedReply reply;
  flutter::MethodCall call("repairService", nullptr);
  EXPECT_THROW(HandleDesktopMethod(bridge_, operations_, call,
                                   std::make_unique<RecordingMethodResult>(
                                       &reply, RecordingMethodResult::Expect::NoAnswer)),
               std::runtime_error);
  EXPECT_FALSE(bridge_.desktopBusy);
}

TEST_F(DesktopDispatcherTest, UnknownNamesAreNotImplemented) {
  bridge_.initialized = true;
  const DesktopBridge before = bridge_;
  for (const std::string& name :
       {std::string("Quit"), std::string("INITIALIZE"), std::string("showwindow"),
        std::string("quit "), std::string(" quit"), std::string("quit\0", 5), std::string(),
        std::string("open"), std::string("toggle"), std::string("launchinstaller")}) {
    SCOPED_TRACE(name);
    EXPECT_TRUE(Call(name, EncodableValue(true)).IsNotImplemented());
  }
  EXPECT_TRUE(bridge_ == before);
  EXPECT_EQ(operations_.TotalCalls(), 0);
}

TEST(IsSha256HexTest, AcceptsOnlyLowerCaseHexOfLength64) {
  const std::string digest = kDigest;
  EXPECT_TRUE(IsSha256Hex(digest));
  EXPECT_TRUE(IsSha256Hex(std::string(64, 'f')));
  for (const std::string& text :
       {std::string(), digest.substr(1), digest + "0", std::string(63, 'a') + "A",
        std::string(63, 'a') + "g", std::string(63, 'a') + " ", std::string(63, 'a') + '\0',
        std::string(63, 'a') + "/", std::string(63, 'a') + ":", std::string(63, 'a') + "`"}) {
    EXPECT_FALSE(IsSha256Hex(text)) << text;
  }
}

TEST(FindStringValueTest, GivesOnlyStringValuesUnderStringKeys) {
  const EncodableValueMap map = {
      {Str("name"), Str("value")},
      {Str("number"), EncodableValue(int32_t{1})},
      {Str("null"), EncodableValue()},
      {EncodableValue(int32_t{5}), Str("under an integer key")},
  };
  const std::string* value = FindStringValue(map, "name");
  ASSERT_NE(value, nullptr);
  EXPECT_EQ(*value, "value");
  EXPECT_EQ(FindStringValue(map, "number"), nullptr);
  EXPECT_EQ(FindStringValue(map, "null"), nullptr);
  EXPECT_EQ(FindStringValue(map, "missing"), nullptr);
  EXPECT_EQ(FindStringValue(map, "Name"), nullptr);
  EXPECT_EQ(FindStringValue(EncodableValueMap{}, "name"), nullptr);
}

TEST(RecordingMethodResultTest, FailsOnASecondAnswerOrNone) {
  RecordedReply twice;
  EXPECT_NONFATAL_FAILURE(
      {
        RecordingMethodResult result(&twice);
        result.Success();
        result.NotImplemented();
      },
      "answered twice");
  EXPECT_TRUE(twice.IsSuccess());

  RecordedReply never;
  EXPECT_NONFATAL_FAILURE({ RecordingMethodResult result(&never); }, "without being answered");
}

// What reaches the engine: the bytes of the reply, through the real result
// and codec.
class DesktopDispatcherWireTest : public DesktopDispatcherTest {
 protected:
  // The reply bytes; null for an empty reply.
  std::optional<Bytes> CallOnWire(const std::string& method,
                                  const std::optional<EncodableValue>& arguments = std::nullopt) {
    int replies = 0;
    std::optional<Bytes> sent;
    auto callback = [&](const uint8_t* reply, size_t size) {
      ++replies;
      if (reply != nullptr) sent = Bytes(reply, reply + size);
      EXPECT_EQ(reply == nullptr, size == 0u);
    };
    flutter::MethodCall call(method,
                             arguments ? std::make_unique<EncodableValue>(*arguments) : nullptr);
    HandleDesktopMethod(bridge_, operations_, call,
                        std::make_unique<flutter::EngineMethodResult>(callback, &codec()));
    EXPECT_EQ(replies, 1) << method;
    return sent;
  }

  static const flutter::StandardMethodCodec& codec() {
    return flutter::StandardMethodCodec::SharedInstance();
  }
  static Bytes Success(const EncodableValue* value) { return *codec().EncodeSuccess(value); }
  static Bytes Error(const std::string& code, const std::string& message,
                     const EncodableValue* details = nullptr) {
    return *codec().EncodeError(code, message, details);
  }
};

// A short string value written out by hand: tag 7, one-byte size, bytes.
void AppendString(Bytes& bytes, const std::string& text) {
  bytes.push_back(7);
  bytes.push_back(static_cast<uint8_t>(text.size()));
  bytes.insert(bytes.end(), text.begin(), text.end());
}

TEST_F(DesktopDispatcherWireTest, InitializeMapIsWrittenInKeyOrder) {
  bridge_.autostart = true;
  operations_.shellAcceptsIcon = false;
  const EncodableValue expected = InitializeReply(true, false);
  const auto bytes = CallOnWire("initialize", Str("x"));
  EXPECT_EQ(bytes, Success(&expected));

  Bytes literal = {0x00, 0x0D, 0x02};
  AppendString(literal, "autostart");
  literal.push_back(0x01);
  AppendString(literal, "trayAvailable");
  literal.push_back(0x02);
  EXPECT_EQ(bytes, literal);
}

TEST_F(DesktopDispatcherWireTest, PlainSuccessAndArgumentErrorsCarryNull) {
  EXPECT_EQ(CallOnWire("setCloseToTray", EncodableValue(true)), (Bytes{0x00, 0x00}));
  EXPECT_EQ(CallOnWire("updateConnection", Str("Connected")),
            Error("invalid_arguments", "Expected a VPN connection state."));
  bridge_.desktopBusy = true;
  Bytes literal = {0x01};
  AppendString(literal, "desktop_busy");
  AppendString(literal, "Close the native dialog before quitting.");
  literal.push_back(0x00);
  EXPECT_EQ(CallOnWire("quit"), literal);
}

TEST_F(DesktopDispatcherWireTest, WindowsErrorsArriveAsPositive64BitIntegers) {
  operations_.postError = 0x80070005u;
  const EncodableValue details(int64_t{2147942405});
  const auto bytes = CallOnWire("quit");
  EXPECT_EQ(bytes, Error("quit_failed", "Could not close the application.", &details));

  Bytes literal = {0x01};
  AppendString(literal, "quit_failed");
  AppendString(literal, "Could not close the application.");
  literal.insert(literal.end(), {0x04, 0x05, 0x00, 0x07, 0x80, 0x00, 0x00, 0x00, 0x00});
  EXPECT_EQ(bytes, literal);

  operations_.runAtLoginError = 5;
  const EncodableValue accessDenied(int64_t{5});
  EXPECT_EQ(CallOnWire("setRunAtLogin", EncodableValue(false)),
            Error("run_at_login_failed", "Could not update the login startup preference.",
                  &accessDenied));
}

TEST_F(DesktopDispatcherWireTest, UnknownMethodGetsAnEmptyReply) {
  EXPECT_FALSE(CallOnWire("Quit").has_value());
  EXPECT_FALSE(CallOnWire("saveDiagnostic").has_value());
  EXPECT_FALSE(bridge_.quitting);
}

}  // namespace
}  // namespace veltrix
