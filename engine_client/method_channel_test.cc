#include "engine_client/method_channel.h"

#include <gtest/gtest.h>

#include <memory>
#include <optional>
#include <thread>
#include <vector>

#include "engine_client/standard_method_codec.h"
#include "engine_client/testing/codec_test_support.h"
#include "engine_client/testing/engine_test_support.h"

namespace flutter {
namespace {

using ::flutter::testing::Hex;
using ::flutter::testing::PumpEngine;
using ::flutter::testing::RawEngine;
using ::flutter::testing::RecordingResult;
using ::flutter::testing::UiSide;

const MethodCodec& Codec() { return StandardMethodCodec::SharedInstance(); }

std::vector<uint8_t> EncodedCall(const std::string& method, const EncodableValue& arguments) {
  return *Codec().EncodeCall(MethodCall(method, std::make_unique<EncodableValue>(arguments)));
}

class MethodChannelTest : public ::testing::Test {
 protected:
  RawEngine engine_;
  BinaryMessengerImpl messenger_{engine_.messenger()};
  CodecMethodChannel channel_{&messenger_, "veltrix/desktop", &Codec()};
  UiSide ui_{engine_.services()};
};

TEST_F(MethodChannelTest, CallReachesTheHandlerAndItsAnswerGoesBack) {
  std::string method;
  EncodableValue arguments;
  channel_.SetCallHandler([&](const MethodCall& call, std::unique_ptr<MethodResult> result) {
    method = call.method_name();
    arguments = *call.arguments();
    result->Success(EncodableValue("pong"));
  });
  ui_.Send("veltrix/desktop", EncodedCall("ping", EncodableValue(int32_t{7})));
  PumpEngine();
  EXPECT_EQ(method, "ping");
  EXPECT_EQ(arguments, EncodableValue(int32_t{7}));
  EXPECT_EQ(ui_.replies, std::vector<std::vector<uint8_t>>{Hex("00 07 04 706F6E67")});
}

// Neither an undecodable call nor a cleared handler reaches the handler; both get an empty reply.
TEST_F(MethodChannelTest, UnhandledCallsGetAnEmptyReply) {
  bool handled = false;
  channel_.SetCallHandler(
      [&](const MethodCall&, std::unique_ptr<MethodResult>) { handled = true; });
  ui_.Send("veltrix/desktop", Hex("03 01 00 00 00"));  // an integer where the name belongs
  ::testing::internal::CaptureStderr();
  PumpEngine();
  EXPECT_EQ(::testing::internal::GetCapturedStderr(),
            "Invalid method call; method name is not a string.\n"
            "Unable to construct method call from message on channel veltrix/desktop\n");
  channel_.SetCallHandler(nullptr);
  ui_.Send("veltrix/desktop", EncodedCall("initialize", EncodableValue()));
  PumpEngine();
  EXPECT_FALSE(handled);
  EXPECT_EQ(ui_.replies, (std::vector<std::vector<uint8_t>>{{}, {}}));
}

TEST_F(MethodChannelTest, ResultAnsweredFromAnotherThreadArrives) {
  std::thread worker;
  channel_.SetCallHandler([&](const MethodCall&, std::unique_ptr<MethodResult> result) {
    worker = std::thread([result = std::move(result)] { result->Success(EncodableValue(true)); });
  });
  ui_.Send("veltrix/desktop", EncodedCall("initialize", EncodableValue()));
  PumpEngine();
  ASSERT_TRUE(worker.joinable());
  worker.join();
  PumpEngine();
  EXPECT_EQ(ui_.replies, std::vector<std::vector<uint8_t>>{Hex("00 01")});
}

// How each kind of reply to an outgoing call reaches the caller's result.
TEST_F(MethodChannelTest, RepliesToInvokeReachTheResult) {
  struct Case {
    const char* name;
    std::optional<std::vector<uint8_t>> reply;  // none: nobody listens
    std::string kind;
    std::string line;
  };
  const std::vector<Case> cases = {
      {"nobody listening", std::nullopt, "not-implemented", ""},
      {"success", Hex("00 03 2A000000"), "success", ""},
      {"error", Hex("01 07 01 65 00 00"), "error", ""},
      {"empty", std::vector<uint8_t>{}, "not-implemented", ""},
      {"unknown envelope", Hex("02"), "not-implemented",
       "Unable to decode reply to method invocation on channel veltrix/desktop\n"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    if (c.reply) ui_.Listen("veltrix/desktop");
    ui_.answer = c.reply;
    std::vector<RecordingResult::Record> records;
    channel_.InvokeMethod("toggle", nullptr, std::make_unique<RecordingResult>(&records));
    ::testing::internal::CaptureStderr();
    PumpEngine();
    EXPECT_EQ(::testing::internal::GetCapturedStderr(), c.line);
    ASSERT_EQ(records.size(), 1u);
    EXPECT_EQ(records[0].kind, c.kind);
    if (c.kind == "success") {
      EXPECT_EQ(records[0].value, EncodableValue(int32_t{42}));
    }
    if (c.kind == "error") {
      EXPECT_EQ(records[0].code, "e");
      EXPECT_EQ(records[0].message, "");
      EXPECT_FALSE(records[0].value.has_value());
    }
  }
  // The call itself, sent without a result, is the plain encoded call.
  ui_.messages.clear();
  channel_.InvokeMethod("open", nullptr);
  PumpEngine();
  ASSERT_EQ(ui_.messages.size(), 1u);
  EXPECT_EQ(ui_.messages[0], Hex("07 04 6F 70 65 6E 00"));
}

TEST_F(MethodChannelTest, RefusedInvokeDropsTheResultUnanswered) {
  FlutterDesktopMessengerRef kept = FlutterDesktopMessengerAddRef(engine_.messenger());
  engine_.Destroy();
  std::vector<RecordingResult::Record> records;
  channel_.InvokeMethod("quit", nullptr, std::make_unique<RecordingResult>(&records));
  EXPECT_TRUE(records.empty());
  FlutterDesktopMessengerRelease(kept);
}

}  // namespace
}  // namespace flutter
