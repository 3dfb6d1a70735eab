#include "engine_client/binary_messenger.h"

#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "engine_client/testing/engine_test_support.h"

namespace flutter {
namespace {

using ::flutter::testing::PumpEngine;
using ::flutter::testing::RawEngine;
using ::flutter::testing::UiSide;

const std::vector<uint8_t> kPing = {1, 2, 3};
const std::vector<uint8_t> kPong = {4, 5};

class BinaryMessengerTest : public ::testing::Test {
 protected:
  // Handler on "c" that keeps each message's reply callback.
  MessageHandler Keep(std::vector<ReplyCallback>* replies) {
    return [replies](const uint8_t*, size_t, ReplyCallback reply) {
      replies->push_back(std::move(reply));
    };
  }
  // The UI sends kPing on "c"; returns the reply callback the handler got.
  ReplyCallback Receive() {
    std::vector<ReplyCallback> replies;
    messenger_.SetMessageHandler("c", Keep(&replies));
    ui_.Send("c", kPing);
    PumpEngine();
    EXPECT_EQ(replies.size(), 1u);
    return replies.empty() ? nullptr : std::move(replies[0]);
  }

  RawEngine engine_;
  BinaryMessengerImpl messenger_{engine_.messenger()};
  UiSide ui_{engine_.services()};
};

TEST_F(BinaryMessengerTest, MessagesAndRepliesArriveLaterFromTheLoop) {
  std::vector<uint8_t> got;
  ReplyCallback reply;
  messenger_.SetMessageHandler("c", [&](const uint8_t* data, size_t size, ReplyCallback r) {
    got.assign(data, data + size);
    reply = std::move(r);
  });
  ASSERT_TRUE(ui_.Send("c", kPing));
  EXPECT_TRUE(got.empty());  // never inside the sender's call
  PumpEngine();
  EXPECT_EQ(got, kPing);
  reply(kPong.data(), kPong.size());
  EXPECT_TRUE(ui_.replies.empty());
  PumpEngine();
  EXPECT_EQ(ui_.replies, std::vector<std::vector<uint8_t>>{kPong});
}

TEST_F(BinaryMessengerTest, ReplacedHandlerTakesOverAndSurvivesOtherChannels) {
  std::vector<ReplyCallback> first, second, others;
  messenger_.SetMessageHandler("c", Keep(&first));
  messenger_.SetMessageHandler("c", Keep(&second));
  // The engine holds a pointer to the stored handler; more channels must not move it.
  for (int i = 0; i < 64; ++i) messenger_.SetMessageHandler(std::to_string(i), Keep(&others));
  ui_.Send("c", kPing);
  PumpEngine();
  EXPECT_TRUE(first.empty());
  EXPECT_EQ(second.size(), 1u);
}

TEST_F(BinaryMessengerTest, ClearingAChannelWithoutAHandlerStillUnregistersIt) {
  bool called = false;  // a callback the engine knows but this messenger does not
  FlutterDesktopMessengerSetCallback(
      engine_.messenger(), "c",
      [](FlutterDesktopMessengerRef, const FlutterDesktopMessage*, void* user) {
        *static_cast<bool*>(user) = true;
      },
      &called);
  messenger_.SetMessageHandler("c", nullptr);
  ui_.Send("c", kPing);
  PumpEngine();
  EXPECT_FALSE(called);
  EXPECT_EQ(ui_.replies, std::vector<std::vector<uint8_t>>{{}});  // nobody listens
}

// A reply is delivered once, whether answered twice or from another thread.
TEST_F(BinaryMessengerTest, ReplyArrivesExactlyOnce) {
  struct Case {
    const char* name;
    std::function<void(ReplyCallback&)> answer;
    std::string line;
  };
  const std::vector<Case> cases = {
      {"twice",
       [](ReplyCallback& reply) {
         reply(kPong.data(), kPong.size());
         reply(kPing.data(), kPing.size());
       },
       "Error: Response can be set only once. Ignoring duplicate response.\n"},
      {"from another thread",
       [](ReplyCallback& reply) {
         std::thread([&reply] { reply(kPong.data(), kPong.size()); }).join();
       },
       ""},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    ui_.replies.clear();
    ReplyCallback reply = Receive();
    ::testing::internal::CaptureStderr();
    c.answer(reply);
    EXPECT_EQ(::testing::internal::GetCapturedStderr(), c.line);
    PumpEngine();
    EXPECT_EQ(ui_.replies, std::vector<std::vector<uint8_t>>{kPong});
  }
}

TEST_F(BinaryMessengerTest, ReplyAfterTheEngineIsGoneIsDroppedSilently) {
  ReplyCallback reply = Receive();
  engine_.Destroy();
  ::testing::internal::CaptureStderr();
  std::thread([&reply] { reply(kPong.data(), kPong.size()); }).join();
  EXPECT_EQ(::testing::internal::GetCapturedStderr(), "");
}

TEST_F(BinaryMessengerTest, RefusedSendDestroysTheReplyWithoutCallingIt) {
  // Keep the messenger alive past its engine, so that it can refuse.
  FlutterDesktopMessengerRef kept = FlutterDesktopMessengerAddRef(engine_.messenger());
  engine_.Destroy();
  auto token = std::make_shared<int>(0);
  bool called = false;
  messenger_.Send("c", kPing.data(), kPing.size(),
                  [token, &called](const uint8_t*, size_t) { called = true; });
  EXPECT_EQ(token.use_count(), 1);  // the callback is gone already
  EXPECT_FALSE(called);
  FlutterDesktopMessengerRelease(kept);
}

TEST_F(BinaryMessengerTest, SendsReachTheOtherSideWithAndWithoutReply) {
  ui_.Listen("ui");
  ui_.answer = kPong;
  std::vector<std::vector<uint8_t>> replies;
  auto record = [&replies](const uint8_t* data, size_t size) {
    if (size == 0) {
      EXPECT_EQ(data, nullptr);
    }
    replies.emplace_back(data, data + size);
  };
  messenger_.Send("ui", kPing.data(), kPing.size());
  messenger_.Send("ui", kPing.data(), kPing.size(), record);
  messenger_.Send("nobody", kPing.data(), kPing.size(), record);
  PumpEngine();
  ASSERT_EQ(ui_.messages.size(), 2u);
  EXPECT_EQ(ui_.messages[0], kPing);
  // "nobody" answers first, at once, and empty.
  EXPECT_EQ(replies, (std::vector<std::vector<uint8_t>>{{}, kPong}));
}

TEST_F(BinaryMessengerTest, ReplyOwedWhenTheEngineEndsIsAnsweredEmpty) {
  ui_.Listen("ui");  // listens but never answers; the holder must still be freed
  int calls = 0;
  messenger_.Send("ui", kPing.data(), kPing.size(), [&calls](const uint8_t*, size_t size) {
    EXPECT_EQ(size, 0u);
    ++calls;
  });
  PumpEngine();
  EXPECT_EQ(calls, 0);
  engine_.Destroy();
  EXPECT_EQ(calls, 1);
}

TEST(BinaryMessengerWithoutEngineTest, DoesNothing) {
  BinaryMessengerImpl messenger(nullptr);
  bool called = false;
  messenger.SetMessageHandler("c", [](const uint8_t*, size_t, ReplyCallback) {});
  messenger.Send("c", kPing.data(), kPing.size(), [&](const uint8_t*, size_t) { called = true; });
  EXPECT_FALSE(called);
}

}  // namespace
}  // namespace flutter
