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
#include <tuple>
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
using Arguments = std::optional<EncodableValue>;
using Bytes = std::vector<uint8_t>;
using Log = std::vector<std::string>;

constexpr char kDigest[] = "0123456789abcdef0123456789abcdef0123456789abcdef0123456789abcdef";
constexpr char kPath[] = "C:\\Users\\me\\AppData\\Local\\Temp\\VELTRIX-updates\\setup.exe";
constexpr char kBusy[] = "Another desktop operation is in progress.";
constexpr char kDialogOpen[] = "Close the native dialog before quitting.";

EncodableValue Str(const char* text) { return EncodableValue(text); }
EncodableValue I64(int64_t value) { return EncodableValue(value); }

// Valid installer arguments, less `removed`, with `changes` applied.
EncodableValue Installer(const EncodableValueMap& changes = {}, const char* removed = nullptr) {
  EncodableValueMap map = {
      {Str("path"), Str(kPath)}, {Str("sha256"), Str(kDigest)}, {Str("size"), I64(1024)}};
  if (removed != nullptr) map.erase(Str(removed));
  for (const auto& [key, value] : changes) map[key] = value;
  return EncodableValue(std::move(map));
}

EncodableValue InitializeReply(bool autostart, bool trayAvailable) {
  return EncodableValue(EncodableValueMap{{Str("autostart"), EncodableValue(autostart)},
                                          {Str("trayAvailable"), EncodableValue(trayAvailable)}});
}

// Stands in for the host window: logs every call, mirrors what the window
// does to trayAvailable, and checks that long operations run while busy.
class FakeOperations : public DesktopOperations {
 public:
  explicit FakeOperations(DesktopBridge& bridge) : bridge_(bridge) {}

  bool EnsureTrayIcon() override {
    log.push_back("tray");
    if (!bridge_.trayAvailable && !bridge_.quitting) bridge_.trayAvailable = shellAcceptsIcon;
    return bridge_.trayAvailable;
  }
  void RefreshTrayTooltip() override { log.push_back("tooltip " + bridge_.connectionState); }
  void BringWindowToFront() override { log.push_back("front"); }
  uint32_t PostQuitRequest() override {
    log.push_back("post");
    return failure;
  }
  uint32_t SetRunAtLogin(bool enable) override {
    log.push_back(enable ? "login on" : "login off");
    return failure;
  }
  void LaunchServiceRepair(flutter::MethodResult& result) override { RunLong("repair", result); }
  void LaunchUpdateInstaller(const std::string& path, const std::string& sha256, uint64_t size,
                             flutter::MethodResult& result) override {
    installer = path + "|" + sha256 + "|" + std::to_string(size);
    RunLong("install", result);
  }
  void SaveDiagnostics(const EncodableValue* arguments, flutter::MethodResult& result) override {
    diagnosticsArguments = arguments != nullptr ? Arguments(*arguments) : std::nullopt;
    RunLong("diagnostics", result);
  }

  bool shellAcceptsIcon = true;
  // Windows error of the quit post and of the Run value update.
  uint32_t failure = 0;
  // What a long operation does with its result; answers success by default.
  std::function<void(flutter::MethodResult&)> longOperation;

  Log log;
  std::string installer;
  Arguments diagnosticsArguments;

 private:
  void RunLong(const char* name, flutter::MethodResult& result) {
    log.push_back(name);
    EXPECT_TRUE(bridge_.desktopBusy) << name;
    longOperation ? longOperation(result) : result.Success();
  }

  DesktopBridge& bridge_;
};

// The state a call meets: shared flags, and how the host window behaves.
struct Given {
  bool busy = false;
  bool quitting = false;
  bool autostart = false;
  bool noIcon = false;
  uint32_t failure = 0;
};

// An expected answer: success when `code` is empty; `value` is the success
// value or the error details.
struct Reply {
  std::string code;
  std::string message;
  Arguments value;
};
Reply Ok(Arguments value = std::nullopt) { return {"", "", std::move(value)}; }
Reply Err(std::string code, std::string message, Arguments details = std::nullopt) {
  return {std::move(code), std::move(message), std::move(details)};
}

class DesktopDispatcherTest : public ::testing::Test {
 protected:
  void Prepare(const Given& given) {
    bridge_ = {.autostart = given.autostart, .quitting = given.quitting, .desktopBusy = given.busy};
    operations_.shellAcceptsIcon = !given.noIcon;
    operations_.failure = given.failure;
    operations_.log.clear();
  }

  void Dispatch(const std::string& method, const Arguments& arguments,
                std::unique_ptr<flutter::MethodResult> result) {
    flutter::MethodCall call(method,
                             arguments ? std::make_unique<EncodableValue>(*arguments) : nullptr);
    HandleDesktopMethod(bridge_, operations_, call, std::move(result));
  }

  RecordedReply Call(const std::string& method, const Arguments& arguments = std::nullopt) {
    RecordedReply reply;
    Dispatch(method, arguments, std::make_unique<RecordingMethodResult>(&reply));
    EXPECT_EQ(reply.answers, 1) << method;
    return reply;
  }

  // The reply bytes through the real result and codec; null for an empty reply.
  std::optional<Bytes> CallOnWire(const std::string& method) {
    int replies = 0;
    std::optional<Bytes> sent;
    auto callback = [&](const uint8_t* reply, size_t size) {
      ++replies;
      if (reply != nullptr) sent = Bytes(reply, reply + size);
    };
    Dispatch(method, std::nullopt,
             std::make_unique<flutter::EngineMethodResult>(
                 callback, &flutter::StandardMethodCodec::SharedInstance()));
    EXPECT_EQ(replies, 1) << method;
    return sent;
  }

  static void Expect(const RecordedReply& reply, const Reply& expected) {
    EXPECT_TRUE(expected.code.empty() ? reply.IsSuccess() : reply.IsError());
    EXPECT_EQ(reply.code, expected.code);
    EXPECT_EQ(reply.message, expected.message);
    EXPECT_TRUE(reply.value == expected.value) << "value differs for " << expected.code;
  }

  DesktopBridge bridge_;
  FakeOperations operations_{bridge_};
};

TEST_F(DesktopDispatcherTest, EveryMethodAnswers) {
  struct Case {
    std::string method;
    Arguments arguments;
    Given given;
    Reply reply;
    Log log = {};
  };
  const Given quitting{.quitting = true};
  const Reply badState = Err("invalid_arguments", "Expected a VPN connection state.");
  const Reply badBoolean = Err("invalid_arguments", "Expected a boolean preference.");
  const Reply badRepair = Err("invalid_arguments", "Service repair accepts no arguments.");
  const Reply badInstaller =
      Err("invalid_arguments", "Expected a verified installer path, size and SHA-256.");
  const Reply loginFailed =
      Err("run_at_login_failed", "Could not update the login startup preference.", I64(5));
  // Widened without sign extension.
  const Reply quitFailed = Err("quit_failed", "Could not close the application.", I64(2147942405));
  const std::vector<Case> cases = {
      {"initialize", {}, quitting, Ok(InitializeReply(false, false))},
      // The tooltip is refreshed from the stored name.
      {"updateConnection", Str("reconnecting"), {}, Ok(), {"tooltip reconnecting"}},
      {"updateConnection", {}, {}, badState},
      {"updateConnection", EncodableValue(), {}, badState},
      {"updateConnection", Str("Connected"), {}, badState},
      {"updateConnection", EncodableValue(std::string("connected\0", 10)), {}, badState},
      {"updateConnection", EncodableValue(int32_t{1}), {}, badState},
      // Whether anything shows once quitting is the window's decision.
      {"showWindow", Str("ignored"), quitting, Ok(), {"front"}},
      {"setCloseToTray", {}, {}, badBoolean},
      {"setCloseToTray", EncodableValue(int32_t{1}), {}, badBoolean},
      {"setRunAtLogin", EncodableValue(true), {}, Ok(), {"login on"}},
      {"setRunAtLogin", {}, {}, badBoolean},
      {"setRunAtLogin", Str("false"), {}, badBoolean},
      {"setRunAtLogin", EncodableValue(false), {.failure = 5}, loginFailed, {"login off"}},
      {"quit", Str("ignored"), {}, Ok(), {"post"}},
      // The host may have started quitting by itself: nothing more to post.
      {"quit", {}, quitting, Ok()},
      {"quit", {}, {.failure = 0x80070005u}, quitFailed, {"post"}},
      // The open dialog is checked before quitting is.
      {"quit", {}, {.busy = true, .quitting = true}, Err("desktop_busy", kDialogOpen)},
      {"repairService", {}, {}, Ok(), {"repair"}},
      {"repairService", EncodableValue(), {}, Ok(), {"repair"}},
      {"repairService", EncodableValue(EncodableValueMap{}), {}, badRepair},
      {"repairService", EncodableValue(EncodableValueList{}), {}, badRepair},
      {"repairService", EncodableValue(false), {}, badRepair},
      {"repairService", Str(""), {}, badRepair},
      {"launchInstaller", Installer(), {}, Ok(), {"install"}},
      {"launchInstaller", {}, {}, badInstaller},
      {"launchInstaller", EncodableValue(), {}, badInstaller},
      {"launchInstaller", Str(kPath), {}, badInstaller},
      {"saveDiagnostics", {}, {}, Ok(), {"diagnostics"}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << c.method << ", row " << &c - cases.data());
    Prepare(c.given);
    const DesktopBridge before = bridge_;
    Expect(Call(c.method, c.arguments), c.reply);
    EXPECT_EQ(operations_.log, c.log);
    EXPECT_EQ(bridge_.desktopBusy, before.desktopBusy);
    EXPECT_TRUE(c.reply.code.empty() || bridge_ == before) << "an error changed the state";
  }
}

TEST_F(DesktopDispatcherTest, InitializeAddsAMissingIconOnlyOnce) {
  bridge_.autostart = true;
  Expect(Call("initialize", Str("ignored")), Ok(InitializeReply(true, true)));
  Expect(Call("initialize"), Ok(InitializeReply(true, true)));
  EXPECT_TRUE(bridge_.initialized);
  // A refused icon is still missing, so the next announcement tries again.
  bridge_.trayAvailable = false;
  operations_.shellAcceptsIcon = false;
  Expect(Call("initialize"), Ok(InitializeReply(true, false)));
  Expect(Call("initialize"), Ok(InitializeReply(true, false)));
  EXPECT_EQ(operations_.log, (Log{"tray", "tray", "tray"}));
}

TEST_F(DesktopDispatcherTest, SetCloseToTrayFollowsTheArgument) {
  for (bool enable : {false, true}) {
    Expect(Call("setCloseToTray", EncodableValue(enable)), Ok());
    EXPECT_EQ(bridge_.closeToTray, enable);
  }
}

TEST_F(DesktopDispatcherTest, InstallerArgumentCheck) {
  const Reply kRejected =
      Err("invalid_arguments", "Expected a verified installer path, size and SHA-256.");
  const EncodableValue size(Str("size"));
  std::string upper = kDigest;
  upper[63] = 'F';
  const std::vector<std::tuple<const char*, EncodableValue, bool>> cases = {
      {"largest size", Installer({{size, I64(536870912)}}), true},
      {"32-bit size 1", Installer({{size, EncodableValue(int32_t{1})}}), true},
      {"too large", Installer({{size, I64(536870913)}}), false},
      {"32-bit too large", Installer({{size, EncodableValue(int32_t{536870913})}}), false},
      {"zero", Installer({{size, I64(0)}}), false},
      {"negative 32-bit", Installer({{size, EncodableValue(int32_t{-1})}}), false},
      {"most negative", Installer({{size, I64(std::numeric_limits<int64_t>::min())}}), false},
      {"double", Installer({{size, EncodableValue(1.5)}}), false},
      {"string size", Installer({{size, Str("1024")}}), false},
      {"upper-case digest", Installer({{Str("sha256"), EncodableValue(upper)}}), false},
      {"digest as bytes", Installer({{Str("sha256"), EncodableValue(Bytes(32, 0xab))}}), false},
      {"path not a string", Installer({{Str("path"), EncodableValue(int32_t{1})}}), false},
      {"fourth key", Installer({{Str("extra"), Str("x")}}), false},
      {"fourth non-string key", Installer({{EncodableValue(), Str("x")}}), false},
      {"two keys", Installer({}, "size"), false},
      {"size under another key", Installer({{Str("length"), I64(1024)}}, "size"), false},
      // An integer key 0 is not "path".
      {"integer key", Installer({{EncodableValue(int32_t{0}), Str(kPath)}}, "path"), false},
      {"empty map", EncodableValue(EncodableValueMap{}), false},
  };
  for (const auto& [what, arguments, accepted] : cases) {
    SCOPED_TRACE(what);
    operations_.log.clear();
    Expect(Call("launchInstaller", arguments), accepted ? Ok() : kRejected);
    EXPECT_EQ(operations_.log, accepted ? Log{"install"} : Log{});
  }
}

TEST_F(DesktopDispatcherTest, LongOperationsGetTheirArgumentsAsReceived) {
  const std::string path = " C:\\Program Files\\Setup \xc3\xa9.exe ";
  Expect(Call("launchInstaller", Installer({{Str("path"), EncodableValue(path)},
                                            {Str("size"), EncodableValue(int32_t{536870912})}})),
         Ok());
  EXPECT_EQ(operations_.installer, path + "|" + kDigest + "|536870912");

  Expect(Call("saveDiagnostics"), Ok());
  EXPECT_FALSE(operations_.diagnosticsArguments.has_value());
  const EncodableValue fields(EncodableValueMap{{Str("connectionState"), Str("Nonsense")}});
  Expect(Call("saveDiagnostics", fields), Ok());
  EXPECT_TRUE(operations_.diagnosticsArguments == fields);
}

// Busy or quitting refuses the long operations before their arguments are
// looked at; everything else still works.
TEST_F(DesktopDispatcherTest, GuardComesBeforeArgumentsAndOnlyForLongOperations) {
  const std::vector<std::pair<std::string, Arguments>> guarded = {
      {"repairService", EncodableValue(EncodableValueMap{})},
      {"repairService", std::nullopt},
      {"launchInstaller", Str("not a map")},
      {"launchInstaller", Installer()},
      {"saveDiagnostics", EncodableValue(int32_t{3})},
  };
  for (bool busy : {true, false}) {
    SCOPED_TRACE(busy);
    Prepare({.busy = busy, .quitting = !busy});
    const DesktopBridge before = bridge_;
    for (const auto& [method, arguments] : guarded) {
      SCOPED_TRACE(method);
      Expect(Call(method, arguments), Err("desktop_busy", kBusy));
    }
    EXPECT_TRUE(bridge_ == before);
    EXPECT_TRUE(operations_.log.empty());

    Call("initialize");
    Expect(Call("updateConnection", Str("connecting")), Ok());
    Expect(Call("showWindow"), Ok());
    Expect(Call("setCloseToTray", EncodableValue(false)), Ok());
    Expect(Call("setRunAtLogin", EncodableValue(true)), Ok());
    EXPECT_EQ(bridge_.desktopBusy, busy);
    Log expected = {"tooltip connecting", "front", "login on"};
    if (busy) expected.insert(expected.begin(), "tray");
    EXPECT_EQ(operations_.log, expected);
  }
}

TEST_F(DesktopDispatcherTest, QuitRetriesAfterAFailedPostThenPostsOnce) {
  operations_.failure = 1400;
  Expect(Call("quit"), Err("quit_failed", "Could not close the application.", I64(1400)));
  EXPECT_FALSE(bridge_.quitting);
  operations_.failure = 0;
  Expect(Call("quit"), Ok());
  Expect(Call("quit"), Ok());
  EXPECT_TRUE(bridge_.quitting);
  EXPECT_EQ(operations_.log, (Log{"post", "post"}));
}

TEST_F(DesktopDispatcherTest, CallsDuringADialogMeetTheGuards) {
  RecordedReply quit, repair;
  // The operation answers for itself, here with its own error.
  const Reply saveFailed =
      Err("diagnostics_save_failed", "Could not save the diagnostics report.", I64(32));
  operations_.longOperation = [&](flutter::MethodResult& result) {
    quit = Call("quit");
    repair = Call("repairService");
    result.Error(saveFailed.code, saveFailed.message, *saveFailed.value);
  };
  Expect(Call("saveDiagnostics"), saveFailed);
  Expect(quit, Err("desktop_busy", kDialogOpen));
  Expect(repair, Err("desktop_busy", kBusy));
  // With the dialog closed, quitting goes ahead.
  Expect(Call("quit"), Ok());
  EXPECT_EQ(operations_.log, (Log{"diagnostics", "post"}));
}

TEST_F(DesktopDispatcherTest, BusyIsClearedWhenALongOperationThrows) {
  operations_.longOperation = [](flutter::MethodResult&) { throw std::runtime_error("boom"); };
  RecordedReply reply;
  EXPECT_THROW(Dispatch("repairService", std::nullopt,
                        std::make_unique<RecordingMethodResult>(
                            &reply, RecordingMethodResult::Expect::NoAnswer)),
               std::runtime_error);
  EXPECT_FALSE(bridge_.desktopBusy);
}

TEST_F(DesktopDispatcherTest, UnknownNamesAreNotImplemented) {
  bridge_.initialized = true;
  const DesktopBridge before = bridge_;
  using namespace std::string_literals;
  for (const std::string& name : {"Quit"s, "INITIALIZE"s, "showwindow"s, "launchinstaller"s,
                                  "quit "s, " quit"s, "quit\0"s, ""s, "toggle"s}) {
    SCOPED_TRACE(name);
    EXPECT_TRUE(Call(name, EncodableValue(true)).IsNotImplemented());
  }
  EXPECT_TRUE(bridge_ == before);
  EXPECT_TRUE(operations_.log.empty());
}

// A short string written out by hand: tag 7, one-byte size, bytes.
void AppendString(Bytes& bytes, const std::string& text) {
  bytes.push_back(7);
  bytes.push_back(static_cast<uint8_t>(text.size()));
  bytes.insert(bytes.end(), text.begin(), text.end());
}

Bytes ErrorBytes(const std::string& code, const std::string& message, const Bytes& details) {
  Bytes bytes = {0x01};
  AppendString(bytes, code);
  AppendString(bytes, message);
  bytes.insert(bytes.end(), details.begin(), details.end());
  return bytes;
}

TEST_F(DesktopDispatcherTest, RepliesOnTheWire) {
  // Success, then a map of two entries in key order.
  Bytes initialize = {0x00, 0x0D, 0x02};
  AppendString(initialize, "autostart");
  initialize.push_back(0x01);
  AppendString(initialize, "trayAvailable");
  initialize.push_back(0x02);

  const Bytes topBitSet = {0x04, 0x05, 0x00, 0x07, 0x80, 0x00, 0x00, 0x00, 0x00};
  const Bytes quitFailed = ErrorBytes("quit_failed", "Could not close the application.", topBitSet);
  const std::vector<std::tuple<std::string, Given, std::optional<Bytes>>> cases = {
      {"initialize", {.autostart = true, .noIcon = true}, initialize},
      {"showWindow", {}, Bytes{0x00, 0x00}},
      {"quit", {.busy = true}, ErrorBytes("desktop_busy", kDialogOpen, {0x00})},
      // A Windows error with the top bit set is still a positive 64-bit integer.
      {"quit", {.failure = 0x80070005u}, quitFailed},
      // Not implemented: an empty reply.
      {"Quit", {}, std::nullopt},
  };
  for (const auto& [method, given, bytes] : cases) {
    SCOPED_TRACE(method);
    Prepare(given);
    EXPECT_EQ(CallOnWire(method), bytes);
  }
}

TEST(IsSha256HexTest, AcceptsOnlyLowerCaseHexOfLength64) {
  const std::string digest = kDigest;
  EXPECT_TRUE(IsSha256Hex(digest));
  EXPECT_TRUE(IsSha256Hex(std::string(64, 'f')));
  for (const std::string& text : {std::string(), digest.substr(1), digest + "0"}) {
    EXPECT_FALSE(IsSha256Hex(text)) << text.size();
  }
  // Just outside 0-9 and a-f, upper case, and a zero byte.
  for (char c : std::string("/:`gA \0", 7)) {
    EXPECT_FALSE(IsSha256Hex(std::string(63, 'a') + c)) << c;
  }
}

// The exactly-once checks above rest on this.
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

}  // namespace
}  // namespace veltrix
