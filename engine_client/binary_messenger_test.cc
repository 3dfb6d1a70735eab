#include "engine_client/binary_messenger.h"

#include <gtest/gtest.h>

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

constexpr char kDuplicateResponseLine[] =
    "Error: Response can be set only once. Ignoring duplicate response.\n";

const std::vector<uint8_t> kPing = {1, 2, 3};
const std::vector<uint8_t> kPong = {4, 5};

// A handler that keeps every message and its reply callback.
struct Inbox {
  std::vector<std::vector<uint8_t>> messages;
  std::vector<ReplyCallback> replies;

  MessageHandler Handler() {
    return [this](const uint8_t* data, size_t size, ReplyCallback reply) {
      messages.emplace_back(data, data + size);
      replies.push_back(std::move(reply));
    };
  }
};

class BinaryMessengerTest : public ::testing::Test {
 protected:
  RawEngine engine_;
  BinaryMessengerImpl messenger_{engine_.messenger()};
  UiSide ui_{engine_.services()};
};

TEST_F(BinaryMessengerTest, MessagesAndRepliesArriveLaterFromTheLoop) {
  Inbox inbox;
  messenger_.SetMessageHandler("c", inbox.Handler());
  ASSERT_TRUE(ui_.Send("c", kPing));
  EXPECT_TRUE(inbox.messages.empty());  // never inside the sender's call

  PumpEngine();
  ASSERT_EQ(inbox.messages.size(), 1u);
  EXPECT_EQ(inbox.messages[0], kPing);

  inbox.replies[0](kPong.data(), kPong.size());
  EXPECT_TRUE(ui_.replies.empty());
  PumpEngine();
  ASSERT_EQ(ui_.replies.size(), 1u);
  EXPECT_EQ(ui_.replies[0], kPong);
}

TEST_F(BinaryMessengerTest, ReplacedHandlerTakesOverAndSurvivesOtherChannels) {
  Inbox first;
  Inbox second;
  messenger_.SetMessageHandler("c", first.Handler());
  messenger_.SetMessageHandler("c", second.Handler());
  // The engine holds a pointer to the stored handler; many more channels
  // must not move it.
  std::vector<Inbox> others(64);
  for (size_t i = 0; i < others.size(); ++i) {
    messenger_.SetMessageHandler("other" + std::to_string(i), others[i].Handler());
  }
  ui_.Send("c", kPing);
  PumpEngine();
  EXPECT_TRUE(first.messages.empty());
  EXPECT_EQ(second.messages.size(), 1u);
}

TEST_F(BinaryMessengerTest, ClearingAChannelWithoutAHandlerStillUnregistersIt) {
  // A callback that the engine knows but this messenger does not.
  bool called = false;
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
  ASSERT_EQ(ui_.replies.size(), 1u);  // nobody listens: an empty reply
  EXPECT_TRUE(ui_.replies[0].empty());
}

TEST_F(BinaryMessengerTest, SecondResponseIsRefusedWithOneLine) {
  Inbox inbox;
  messenger_.SetMessageHandler("c", inbox.Handler());
  ui_.Send("c", kPing);
  PumpEngine();
  ASSERT_EQ(inbox.replies.size(), 1u);

  ::testing::internal::CaptureStderr();
  inbox.replies[0](kPong.data(), kPong.size());
  inbox.replies[0](kPing.data(), kPing.size());
  EXPECT_EQ(::testing::internal::GetCapturedStderr(), kDuplicateResponseLine);
  PumpEngine();
  ASSERT_EQ(ui_.replies.size(), 1u);
  EXPECT_EQ(ui_.replies[0], kPong);
}

TEST_F(BinaryMessengerTest, ReplyFromAnotherThreadArrives) {
  Inbox inbox;
  messenger_.SetMessageHandler("c", inbox.Handler());
  ui_.Send("c", kPing);
  PumpEngine();
  ASSERT_EQ(inbox.replies.size(), 1u);

  std::thread worker([reply = std::move(inbox.replies[0])] { reply(kPong.data(), kPong.size()); });
  worker.join();
  PumpEngine();
  ASSERT_EQ(ui_.replies.size(), 1u);
  EXPECT_EQ(ui_.replies[0], kPong);
}

TEST_F(BinaryMessengerTest, ReplyAfterTheEngineIsGoneIsDroppedSilently) {
  Inbox inbox;
  messenger_.SetMessageHandler("c", inbox.Handler());
  ui_.Send("c", kPing);
  PumpEngine();
  ASSERT_EQ(inbox.replies.size(), 1u);
  ReplyCallback reply = std::move(inbox.replies[0]);
  inbox.replies.clear();

  engine_.Destroy();
  ::testing::internal::CaptureStderr();
  std::thread worker([&reply] { reply(kPong.data(), kPong.size()); });
  worker.join();
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
  messenger_.Send("ui", kPing.data(), kPing.size());
  messenger_.Send("ui", kPing.data(), kPing.size(), [&replies](const uint8_t* data, size_t size) {
    replies.emplace_back(data, data + size);
  });
  messenger_.Send("nobody", kPing.data(), kPing.size(),
                  [&replies](const uint8_t* data, size_t size) {
                    EXPECT_EQ(data, nullptr);
                    replies.emplace_back(data, data + size);
                  });
  PumpEngine();
  ASSERT_EQ(ui_.messages.size(), 2u);
  EXPECT_EQ(ui_.messages[0].bytes, kPing);
  ASSERT_EQ(replies.size(), 2u);
  EXPECT_TRUE(replies[0].empty());  // "nobody" answers first, at once
  EXPECT_EQ(replies[1], kPong);
}

TEST_F(BinaryMessengerTest, ReplyOwedWhenTheEngineEndsIsAnsweredEmpty) {
  // Nobody answers on the other side; the holder must still be freed.
  ui_.Listen("ui");
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
  messenger.Send("c", kPing.data(), kPing.size(),
                 [&called](const uint8_t*, size_t) { called = true; });
  EXPECT_FALSE(called);
}

}  // namespace
}  // namespace flutter
