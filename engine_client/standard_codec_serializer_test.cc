#include "engine_client/standard_codec_serializer.h"

#include <gtest/gtest.h>

#include <cmath>
#include <random>

#include "engine_client/testing/codec_test_support.h"

namespace flutter {
namespace {

using ::flutter::testing::Decode;
using ::flutter::testing::Encode;
using ::flutter::testing::Hex;
using ::flutter::testing::SameByOrdering;

struct WireCase {
  const char* name;
  EncodableValue value;
  std::string hex;
};

TEST(StandardCodecSerializerTest, WritesTheWireFormatAndReadsItBack) {
  const std::vector<WireCase> cases = {
      {"null", EncodableValue(), "00"},
      {"true", EncodableValue(true), "01"},
      {"false", EncodableValue(false), "02"},
      {"int32", EncodableValue(int32_t{-2}), "03 FEFFFFFF"},
      {"int64", EncodableValue(int64_t{0x0102030405060708}), "04 0807060504030201"},
      {"double first", EncodableValue(1.0), "06 00000000000000 000000000000F03F"},
      {"string", EncodableValue("abc"), "07 03 616263"},
      {"empty string", EncodableValue(""), "07 00"},
      {"bytes", EncodableValue(std::vector<uint8_t>{1, 2}), "08 02 0102"},
      {"empty int32 list", EncodableValue(std::vector<int32_t>{}), "09 00 0000"},
      {"int32 list", EncodableValue(std::vector<int32_t>{1}), "09 01 0000 01000000"},
      {"int64 list", EncodableValue(std::vector<int64_t>{-1}),
       "0A 01 000000000000 FFFFFFFFFFFFFFFF"},
      {"float list", EncodableValue(std::vector<float>{1.0f}), "0E 01 0000 0000803F"},
      {"list", EncodableValue(EncodableValueList{EncodableValue(true), EncodableValue()}),
       "0C 02 01 00"},
      {"map in key order",
       EncodableValue(EncodableValueMap{{EncodableValue("b"), EncodableValue(int32_t{1})},
                                        {EncodableValue("a"), EncodableValue(int32_t{2})}}),
       "0D 02 07 01 61 03 02000000 07 01 62 03 01000000"},
  };
  for (const WireCase& c : cases) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(Encode(c.value), Hex(c.hex));
    EXPECT_TRUE(SameByOrdering(Decode(Hex(c.hex)), c.value));
  }
}

TEST(StandardCodecSerializerTest, SizeThresholds) {
  const std::vector<std::pair<size_t, std::string>> cases = {
      {253, "07 FD"}, {254, "07 FE FE00"}, {65535, "07 FE FFFF"}, {65536, "07 FF 00000100"}};
  for (const auto& [size, header] : cases) {
    SCOPED_TRACE(size);
    const EncodableValue value(std::string(size, 'x'));
    const std::vector<uint8_t> bytes = Encode(value);
    const std::vector<uint8_t> expected = Hex(header);
    ASSERT_EQ(bytes.size(), expected.size() + size);
    EXPECT_TRUE(std::equal(expected.begin(), expected.end(), bytes.begin()));
    EXPECT_TRUE(SameByOrdering(Decode(bytes), value));
  }
}

TEST(StandardCodecSerializerTest, AlignedValuesSurviveEveryOffset) {
  for (size_t prefix = 0; prefix < 9; ++prefix) {
    SCOPED_TRACE(prefix);
    const EncodableValue value(EncodableValueList{
        EncodableValue(std::string(prefix, 'p')),
        EncodableValue(2.5),
        EncodableValue(std::vector<int32_t>{}),
        EncodableValue(std::vector<float>{0.5f, -1.0f}),
        EncodableValue(std::vector<int64_t>{1, -2}),
        EncodableValue(std::vector<double>{3.25}),
        EncodableValue("after"),
    });
    const std::vector<uint8_t> bytes = Encode(value);
    EXPECT_TRUE(SameByOrdering(Decode(bytes), value));
  }
}

// Odd input: each decodes to a value, with at most one line saying why.
TEST(StandardCodecSerializerTest, OddInputDecodesToAValue) {
  const std::string kInvalidRead = "Invalid read in StandardCodecByteStreamReader\n";
  const std::vector<WireCase> cases = {
      {"large integer tag reads as text", EncodableValue("12"), "05 02 3132"},
      {"unknown tag", EncodableValue(), "0F"},
      {"empty buffer", EncodableValue(), ""},
      {"truncated int32", EncodableValue(int32_t{0}), "03 0102"},
      {"element count that just fits",
       EncodableValue(EncodableValueList{EncodableValue(), EncodableValue(true),
                                         EncodableValue(false), EncodableValue(),
                                         EncodableValue()}),
       "0C 05 00 01 02 00 00"},
  };
  const std::vector<std::string> lines = {
      "", "Unknown type in StandardCodecSerializer::ReadValueOfType: 15\n", kInvalidRead,
      kInvalidRead, ""};
  for (size_t i = 0; i < cases.size(); ++i) {
    SCOPED_TRACE(cases[i].name);
    ::testing::internal::CaptureStderr();
    const EncodableValue value = Decode(Hex(cases[i].hex));
    EXPECT_EQ(::testing::internal::GetCapturedStderr(), lines[i]);
    EXPECT_EQ(value.index(), cases[i].value.index());
    EXPECT_TRUE(SameByOrdering(value, cases[i].value));
  }
}

TEST(StandardCodecSerializerTest, CustomValueIsWrittenAsNullAndReported) {
  ::testing::internal::CaptureStderr();
  EXPECT_EQ(Encode(EncodableValue(CustomValue(1))), Hex("00"));
  EXPECT_EQ(::testing::internal::GetCapturedStderr(),
            "Unhandled custom type in StandardCodecSerializer::WriteValue. Custom types require "
            "codec extensions.\n");
}

// Declared sizes that the rest of the message cannot hold: nothing is
// allocated for them, one invalid-read line, an empty value, and the reader
// is left at the end so the bytes after them are never read.
TEST(StandardCodecSerializerTest, HostileSizesAreRefusedWithoutAllocating) {
  struct Case {
    const char* name;
    std::string hex;
    size_t index;
  };
  const std::vector<Case> cases = {
      {"string of 4 GiB", "07 FF FFFFFFFF 6162", 5},
      {"large integer", "05 FF FFFFFF7F", 5},
      {"bytes longer than the rest", "08 05 01020304", 6},
      {"int64 list", "0A FF FFFFFFFF 00 0000", 8},
      {"double list", "0B FE FFFF", 9},
      {"float list", "0E 03 0000 00000000 00000000", 13},
      {"list of more elements than bytes", "0C 05 00000000", 10},
      {"map of more entries than pairs", "0D 03 00000000 00", 11},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    const std::vector<uint8_t> bytes = Hex(c.hex);
    ByteBufferStreamReader reader(bytes.data(), bytes.size());
    ::testing::internal::CaptureStderr();
    const EncodableValue value = StandardCodecSerializer::SharedInstance().ReadValue(&reader);
    EXPECT_EQ(::testing::internal::GetCapturedStderr(),
              "Invalid read in StandardCodecByteStreamReader\n");
    EXPECT_EQ(value.index(), c.index);
    EXPECT_TRUE(std::visit(
        [](const auto& payload) {
          if constexpr (requires { payload.empty(); }) {
            return payload.empty();
          } else {
            return false;
          }
        },
        static_cast<const EncodableVariant&>(value)));
    EXPECT_EQ(reader.position(), bytes.size());
  }
}

TEST(StandardCodecSerializerTest, ElementCountsThatFitStillDecode) {
  // Five one-byte elements in exactly five remaining bytes.
  const EncodableValue value = Decode(Hex("0C 05 00 01 02 00 00"));
  EXPECT_EQ(std::get<EncodableValueList>(value).size(), 5u);
}

TEST(StandardCodecSerializerTest, NestingBeyondTheLimitIsRefused) {
  std::vector<uint8_t> bytes;
  for (int i = 0; i < 100000; ++i) {
    bytes.push_back(0x0C);
    bytes.push_back(0x01);
  }
  bytes.push_back(0x00);
  ByteBufferStreamReader reader(bytes.data(), bytes.size());
  ::testing::internal::CaptureStderr();
  const EncodableValue value = StandardCodecSerializer::SharedInstance().ReadValue(&reader);
  const std::string errors = ::testing::internal::GetCapturedStderr();
  EXPECT_NE(errors.find("Nesting deeper than 128"), std::string::npos);
  EXPECT_EQ(reader.position(), bytes.size());

  int depth = 0;
  const EncodableValue* cursor = &value;
  while (const auto* list = std::get_if<EncodableValueList>(cursor)) {
    ASSERT_EQ(list->size(), 1u);
    cursor = &list->front();
    ++depth;
  }
  EXPECT_EQ(depth, kMaxNestingDepth);
  EXPECT_TRUE(cursor->IsNull());

  // Exactly at the limit nothing is refused.
  std::vector<uint8_t> deepest;
  for (int i = 0; i < kMaxNestingDepth; ++i) {
    deepest.push_back(0x0D);
    deepest.push_back(0x01);
    deepest.push_back(0x00);
  }
  deepest.push_back(0x01);
  ::testing::internal::CaptureStderr();
  Decode(deepest);
  EXPECT_EQ(::testing::internal::GetCapturedStderr(), "");
}

TEST(StandardCodecSerializerTest, EveryPrefixOfARichMessageDecodesSafely) {
  const EncodableValue rich(EncodableValueMap{
      {EncodableValue("path"), EncodableValue("C:\\x\\y.exe")},
      {EncodableValue(int32_t{7}), EncodableValue(std::vector<double>{1.5, 2.5})},
      {EncodableValue(true),
       EncodableValue(EncodableValueList{EncodableValue(int64_t{-9}),
                                         EncodableValue(std::vector<uint8_t>(300, 1)),
                                         EncodableValue(std::vector<float>{1.0f})})},
  });
  const std::vector<uint8_t> bytes = Encode(rich);
  ::testing::internal::CaptureStderr();
  for (size_t length = 0; length < bytes.size(); ++length) {
    ByteBufferStreamReader reader(bytes.data(), length);
    (void)StandardCodecSerializer::SharedInstance().ReadValue(&reader);
  }
  ::testing::internal::GetCapturedStderr();
  EXPECT_TRUE(SameByOrdering(Decode(bytes), rich));
}

class RandomTree {
 public:
  explicit RandomTree(uint32_t seed) : random_(seed) {}

  EncodableValue Next(int depth) {
    const int kind = Pick(depth > 3 ? 10 : 12);
    switch (kind) {
      case 0:
        return EncodableValue();
      case 1:
        return EncodableValue(Pick(2) == 1);
      case 2:
        return EncodableValue(static_cast<int32_t>(random_()));
      case 3:
        return EncodableValue(static_cast<int64_t>(Wide()));
      case 4:
        return EncodableValue(std::ldexp(static_cast<double>(Wide() >> 11), Pick(200) - 100));
      case 5:
        return EncodableValue(Text());
      case 6:
        return EncodableValue(Vector<uint8_t>([this] { return static_cast<uint8_t>(random_()); }));
      case 7:
        return EncodableValue(Vector<int32_t>([this] { return static_cast<int32_t>(random_()); }));
      case 8:
        return EncodableValue(Vector<int64_t>([this] { return static_cast<int64_t>(Wide()); }));
      case 9:
        if (Pick(2) == 0) {
          return EncodableValue(
              Vector<double>([this] { return static_cast<double>(Wide()) / 3.0; }));
        }
        return EncodableValue(
            Vector<float>([this] { return static_cast<float>(random_()) / 7.0f; }));
      case 10: {
        EncodableValueList list;
        for (int i = Pick(5); i > 0; --i) list.push_back(Next(depth + 1));
        return EncodableValue(std::move(list));
      }
      default: {
        EncodableValueMap map;
        for (int i = Pick(5); i > 0; --i) map.emplace(Next(depth + 1), Next(depth + 1));
        return EncodableValue(std::move(map));
      }
    }
  }

 private:
  int Pick(int n) { return static_cast<int>(random_() % static_cast<uint32_t>(n)); }
  uint64_t Wide() { return (static_cast<uint64_t>(random_()) << 32) | random_(); }
  std::string Text() {
    // Sizes around the one- and three-byte size thresholds.
    const int sizes[] = {0, 1, 253, 254, 300};
    std::string text(sizes[Pick(5)], '\0');
    for (char& c : text) c = static_cast<char>(random_());
    return text;
  }
  template <typename T, typename F>
  std::vector<T> Vector(F element) {
    std::vector<T> values(Pick(9));
    for (T& v : values) v = element();
    return values;
  }

  std::mt19937 random_;
};

TEST(StandardCodecSerializerTest, RandomTreesSurviveARoundTrip) {
  for (uint32_t seed = 1; seed <= 300; ++seed) {
    RandomTree tree(seed);
    const EncodableValue value = tree.Next(0);
    const std::vector<uint8_t> bytes = Encode(value);
    ASSERT_TRUE(SameByOrdering(Decode(bytes), value)) << "seed " << seed;
  }
}

}  // namespace
}  // namespace flutter
