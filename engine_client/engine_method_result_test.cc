#include "engine_client/engine_method_result.h"

#include <gtest/gtest.h>

#include "engine_client/standard_method_codec.h"
#include "engine_client/testing/codec_test_support.h"

namespace flutter {
namespace {

using ::flutter::testing::Hex;

constexpr char kDuplicateLine[] =
    "Error: Only one of Success, Error, or NotImplemented can be called, and it can be called "
    "exactly once. Ignoring duplicate result.\n";
constexpr char kLeakLine[] = "Warning: Failed to respond to a message. This is a memory leak.\n";

struct Replies {
  std::vector<std::vector<uint8_t>> sent;
  int nullReplies = 0;

  ReplyCallback Callback() {
    return [this](const uint8_t* data, size_t size) {
      if (data == nullptr) {
        EXPECT_EQ(size, 0u);
        ++nullReplies;
      }
      sent.emplace_back(data, data + size);
    };
  }
};

TEST(EngineMethodResultTest, AnswersOnceAndReportsLaterAnswers) {
  Replies replies;
  {
    EngineMethodResult result(replies.Callback(), &StandardMethodCodec::SharedInstance());
    result.Success();
    ::testing::internal::CaptureStderr();
    result.Error("late", "Too late.");
    EXPECT_EQ(::testing::internal::GetCapturedStderr(), kDuplicateLine);
    ::testing::internal::CaptureStderr();
  }
  EXPECT_EQ(::testing::internal::GetCapturedStderr(), "");  // answered: no leak line
  ASSERT_EQ(replies.sent.size(), 1u);
  EXPECT_EQ(replies.sent[0], Hex("00 00"));
}

TEST(EngineMethodResultTest, NotImplementedIsEmptyAndErrorCarriesDetails) {
  Replies replies;
  EngineMethodResult(replies.Callback(), &StandardMethodCodec::SharedInstance()).NotImplemented();
  EngineMethodResult(replies.Callback(), &StandardMethodCodec::SharedInstance())
      .Error("e", "", EncodableValue(int32_t{1}));
  EXPECT_EQ(replies.nullReplies, 1);
  EXPECT_EQ(replies.sent,
            (std::vector<std::vector<uint8_t>>{{}, Hex("01 07 01 65 00 03 01000000")}));
}

TEST(EngineMethodResultTest, AnUnansweredResultWarnsAndNeverCalls) {
  Replies replies;
  ::testing::internal::CaptureStderr();
  { EngineMethodResult result(replies.Callback(), &StandardMethodCodec::SharedInstance()); }
  EXPECT_EQ(::testing::internal::GetCapturedStderr(), kLeakLine);
  EXPECT_TRUE(replies.sent.empty());
}

}  // namespace
}  // namespace flutter
