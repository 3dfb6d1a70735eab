// The host's side of the engine, run against the stand-in engine: the
// messenger, method channels, the engine and its view controller.
#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include "engine_client/binary_messenger.h"
#include "engine_client/engine_project.h"
#include "engine_client/flutter_engine.h"
#include "engine_client/flutter_view_controller.h"
#include "engine_client/method_channel.h"
#include "engine_client/standard_method_codec.h"
#include "engine_client/testing/engine_test_support.h"

namespace flutter {
namespace {

using ::flutter::testing::PumpEngine;
using ::flutter::testing::RawEngine;
using ::flutter::testing::ScopedEnvironment;
using ::flutter::testing::UiSide;

using Bytes = std::vector<uint8_t>;
const Bytes kPing = {1, 2, 3};
const Bytes kPong = {4, 5};
constexpr char kChannel[] = "veltrix/desktop";

// Writes how it was answered: "success [int]", "error code/message [int]", "not implemented".
struct RecordingResult : MethodResult {
  explicit RecordingResult(std::string* log) : log(log) {}
  void OnSuccess(const EncodableValue* result) override { *log += "success" + Text(result); }
  void OnError(const std::string& code, const std::string& message,
               const EncodableValue* details) override {
    *log += "error " + code + "/" + message + Text(details);
  }
  void OnNotImplemented() override { *log += "not implemented"; }
  static std::string Text(const EncodableValue* value) {
    return value ? " " + std::to_string(std::get<int32_t>(*value)) : "";
  }
  std::string* log;
};

class MessengerTest : public ::testing::Test {
 protected:
  // A handler that keeps each message's reply callback.
  MessageHandler Keep(std::vector<ReplyCallback>* replies) {
    return [replies](const uint8_t*, size_t, ReplyCallback reply) {
      replies->push_back(std::move(reply));
    };
  }

  RawEngine engine_;
  BinaryMessengerImpl messenger_{engine_.messenger()};
  CodecMethodChannel channel_{&messenger_, kChannel, &StandardMethodCodec::SharedInstance()};
  UiSide ui_{engine_.services()};
};

// A handler may replace itself while it runs; its reply callback answers once.
TEST_F(MessengerTest, HandlerReplacingItselfHandsOverAndRepliesOnce) {
  std::vector<ReplyCallback> first, second, others;
  messenger_.SetMessageHandler("c", [&](const uint8_t*, size_t, ReplyCallback reply) {
    first.push_back(std::move(reply));
    messenger_.SetMessageHandler("c", Keep(&second));
    // The engine holds a pointer to the stored handler; more channels must not move it.
    for (int i = 0; i < 64; ++i) messenger_.SetMessageHandler(std::to_string(i), Keep(&others));
  });
  ui_.Send("c", kPing);
  ui_.Send("c", kPing);
  PumpEngine();
  EXPECT_EQ(first.size(), 1u);
  ASSERT_EQ(second.size(), 1u);
  // Copies of the callback share its one response handle.
  const ReplyCallback copy = second[0];
  second[0](kPong.data(), kPong.size());
  copy(kPing.data(), kPing.size());
  PumpEngine();
  EXPECT_EQ(ui_.replies, std::vector<Bytes>{kPong});
}

// When the engine ends, a reply it still owes the host is answered empty; a
// reply to the engine from another thread is dropped; and a send it refuses
// destroys its reply callback without calling it.
TEST_F(MessengerTest, EngineEndingSettlesEveryReply) {
  ui_.Listen("ui");  // never answers
  std::vector<size_t> sizes;
  messenger_.Send("ui", kPing.data(), kPing.size(),
                  [&sizes](const uint8_t*, size_t size) { sizes.push_back(size); });
  std::vector<ReplyCallback> replies;  // they hold the messenger, which outlives the engine
  messenger_.SetMessageHandler("c", Keep(&replies));
  ui_.Send("c", kPing);
  PumpEngine();
  ASSERT_EQ(replies.size(), 1u);
  engine_.Destroy();
  EXPECT_EQ(sizes, std::vector<size_t>{0});

  std::thread([&replies] { replies[0](kPong.data(), kPong.size()); }).join();

  // A send the engine refuses (here, a misuse after its end) drops the
  // callback unanswered.
  auto token = std::make_shared<int>(0);
  const size_t faults = VeltrixStandinFaultCount();
  messenger_.Send("ui", kPing.data(), kPing.size(),
                  [token, &sizes](const uint8_t*, size_t size) { sizes.push_back(size); });
  EXPECT_EQ(VeltrixStandinFaultCount() - faults, 1u);
  EXPECT_EQ(token.use_count(), 1);
  EXPECT_EQ(sizes.size(), 1u);
}

TEST_F(MessengerTest, CallAnsweredFromAnotherThreadArrives) {
  std::thread worker;
  std::string method;
  channel_.SetCallHandler([&](const MethodCall& call, std::unique_ptr<MethodResult> result) {
    method = call.method_name() + " " + std::to_string(std::get<int32_t>(*call.arguments()));
    worker = std::thread([result = std::move(result)] { result->Success(EncodableValue(true)); });
  });
  ui_.Send(kChannel, {7, 4, 'p', 'i', 'n', 'g', 3, 7, 0, 0, 0});
  PumpEngine();
  ASSERT_TRUE(worker.joinable());
  worker.join();
  PumpEngine();
  EXPECT_EQ(method, "ping 7");
  EXPECT_EQ(ui_.replies, (std::vector<Bytes>{{0, 1}}));
}

// Neither an undecodable call nor a cleared handler reaches the handler; both get an empty reply.
TEST_F(MessengerTest, UnhandledCallsGetAnEmptyReply) {
  bool handled = false;
  channel_.SetCallHandler(
      [&](const MethodCall&, std::unique_ptr<MethodResult>) { handled = true; });
  ui_.Send(kChannel, {3, 1, 0, 0, 0});  // an integer where the name belongs
  PumpEngine();
  channel_.SetCallHandler(nullptr);
  ui_.Send(kChannel, {7, 1, 'x', 0});  // "x", no arguments
  PumpEngine();
  EXPECT_FALSE(handled);
  EXPECT_EQ(ui_.replies, (std::vector<Bytes>{{}, {}}));
}

// How each reply to an outgoing call reaches the caller's result.
TEST_F(MessengerTest, RepliesToInvokeReachTheResult) {
  const std::vector<std::pair<std::optional<Bytes>, std::string>> cases = {
      {std::nullopt, "not implemented"},  // nobody listens
      {Bytes{}, "not implemented"},
      {Bytes{0, 0}, "success"},
      {Bytes{0, 3, 42, 0, 0, 0}, "success 42"},
      {Bytes{1, 7, 1, 'e', 7, 1, 'm', 3, 1, 0, 0, 0}, "error e/m 1"},
      {Bytes{2}, "not implemented"},
      // A code that is not text, or a message neither text nor null, is refused.
      {Bytes{1, 3, 1, 0, 0, 0, 0, 0}, "not implemented"},
      {Bytes{1, 7, 1, 'e', 3, 1, 0, 0, 0, 0}, "not implemented"},
  };
  for (const auto& [reply, result] : cases) {
    SCOPED_TRACE(result + (reply ? " " + std::to_string(reply->size()) : ""));
    if (reply) ui_.Listen(kChannel);
    ui_.answer = reply;
    std::string log;
    channel_.InvokeMethod("toggle", nullptr, std::make_unique<RecordingResult>(&log));
    PumpEngine();
    EXPECT_EQ(log, result);
  }
}

TEST(FlutterViewControllerTest, RefusedViewLeavesNoViewAndNoEngineBehind) {
  const int before = VeltrixStandinLiveEngineCount();
  EngineProject project(L"data");
  ScopedEnvironment failing("VELTRIX_ENGINE_FAIL_VIEW", "1");
  {
    FlutterViewController controller(320, 200, FlutterEngine::Create(project));
    EXPECT_EQ(controller.view(), nullptr);
    EXPECT_EQ(controller.engine()->RegistrarForPlugin("a"), nullptr);
  }
  EXPECT_EQ(VeltrixStandinLiveEngineCount(), before);
}

}  // namespace
}  // namespace flutter
