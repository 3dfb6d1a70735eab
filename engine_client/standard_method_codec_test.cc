#include "engine_client/standard_method_codec.h"

#include <gtest/gtest.h>

#include <optional>

#include "engine_client/testing/codec_test_support.h"

namespace flutter {
namespace {

using ::flutter::testing::Hex;

// Records what a decoded reply delivered.
class RecordingResult : public MethodResult {
 public:
  std::string outcome;
  std::optional<EncodableValue> value;
  std::string code;
  std::string message;

 protected:
  void OnSuccess(const EncodableValue* result) override {
    outcome = "success";
    if (result) value = *result;
  }
  void OnError(const std::string& c, const std::string& m, const EncodableValue* details) override {
    outcome = "error";
    code = c;
    message = m;
    if (details) value = *details;
  }
  void OnNotImplemented() override { outcome = "not implemented"; }
};

const StandardMethodCodec& Codec() { return StandardMethodCodec::SharedInstance(); }

TEST(StandardMethodCodecTest, EncodesCallsAndEnvelopes) {
  EXPECT_EQ(*Codec().EncodeCall(MethodCall("open", nullptr)), Hex("07 04 6F70656E 00"));
  EXPECT_EQ(*Codec().EncodeSuccess(nullptr), Hex("00 00"));
  const EncodableValue yes(true);
  EXPECT_EQ(*Codec().EncodeSuccess(&yes), Hex("00 01"));
  EXPECT_EQ(*Codec().EncodeError("e", "", nullptr), Hex("01 07 01 65 00 00"));
  const EncodableValue details(int64_t{5});
  EXPECT_EQ(*Codec().EncodeError("e", "m.", &details),
            Hex("01 07 01 65 07 02 6D2E 04 0500000000000000"));
  // Values after the envelope byte are aligned from the envelope's start.
  const EncodableValue half(0.5);
  EXPECT_EQ(*Codec().EncodeSuccess(&half), Hex("00 06 000000000000 000000000000E03F"));
}

TEST(StandardMethodCodecTest, DecodesCalls) {
  const std::vector<uint8_t> call = Hex("07 04 71756974 01");
  std::unique_ptr<MethodCall> decoded = Codec().DecodeCall(call.data(), call.size());
  ASSERT_NE(decoded, nullptr);
  EXPECT_EQ(decoded->method_name(), "quit");
  EXPECT_EQ(std::get<bool>(*decoded->arguments()), true);

  // A call that ends after its name has null arguments.
  const std::vector<uint8_t> bare = Hex("07 01 71");
  ::testing::internal::CaptureStderr();
  decoded = Codec().DecodeCall(bare.data(), bare.size());
  EXPECT_EQ(::testing::internal::GetCapturedStderr(),
            "Invalid read in StandardCodecByteStreamReader\n");
  ASSERT_NE(decoded, nullptr);
  EXPECT_TRUE(decoded->arguments()->IsNull());
}

TEST(StandardMethodCodecTest, RefusesACallWithoutAStringName) {
  const std::vector<uint8_t> call = Hex("03 01000000");
  ::testing::internal::CaptureStderr();
  EXPECT_EQ(Codec().DecodeCall(call.data(), call.size()), nullptr);
  EXPECT_EQ(::testing::internal::GetCapturedStderr(),
            "Invalid method call; method name is not a string.\n");
}

TEST(StandardMethodCodecTest, DecodesResponses) {
  struct Case {
    std::string hex;
    bool understood;
    std::string outcome;
    std::string code;
    bool hasValue;
  };
  const std::vector<Case> cases = {
      {"00 00", true, "success", "", false},
      {"00 01", true, "success", "", true},
      {"01 07 01 65 00 00", true, "error", "e", false},
      {"01 07 01 65 07 01 6D 03 01000000", true, "error", "e", true},
      {"02", false, "", "", false},
      // Wrong types in an error envelope are refused, never fatal.
      {"01 03 01000000 00 00", false, "", "", false},
      {"01 07 01 65 03 01000000 00", false, "", "", false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.hex);
    const std::vector<uint8_t> bytes = Hex(c.hex);
    RecordingResult result;
    EXPECT_EQ(Codec().DecodeResponse(bytes.data(), bytes.size(), &result), c.understood);
    EXPECT_EQ(result.outcome, c.outcome);
    EXPECT_EQ(result.code, c.code);
    EXPECT_EQ(result.value.has_value(), c.hasValue);
  }
}

// The registry keeps one codec per serializer; a codec per request would
// leak and give every channel a different codec.
TEST(StandardMethodCodecTest, SharedInstanceIsOnePerSerializer) {
  EXPECT_EQ(&Codec(),
            &StandardMethodCodec::SharedInstance(&StandardCodecSerializer::SharedInstance()));
  StandardCodecSerializer other;
  EXPECT_NE(&StandardMethodCodec::SharedInstance(&other), &Codec());
}

}  // namespace
}  // namespace flutter
