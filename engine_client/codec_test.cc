// The standard codec: values, their ordering and wire format, method call
// envelopes, and the result that answers a call from the engine.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <functional>
#include <limits>
#include <thread>
#include <vector>

#include "engine_client/byte_streams.h"
#include "engine_client/encodable_value.h"
#include "engine_client/engine_method_result.h"
#include "engine_client/standard_codec_serializer.h"
#include "engine_client/standard_method_codec.h"

namespace flutter {
namespace {

constexpr char kInvalidRead[] = "Invalid read in StandardCodecByteStreamReader\n";

std::vector<uint8_t> Encode(const EncodableValue& value) {
  std::vector<uint8_t> bytes;
  ByteBufferStreamWriter writer(&bytes);
  StandardCodecSerializer::SharedInstance().WriteValue(value, &writer);
  return bytes;
}

EncodableValue Decode(const std::vector<uint8_t>& bytes) {
  ByteBufferStreamReader reader(bytes.data(), bytes.size());
  return StandardCodecSerializer::SharedInstance().ReadValue(&reader);
}

// Bytes from hex text; spaces are only for reading.
std::vector<uint8_t> Hex(std::string text) {
  std::erase(text, ' ');
  std::vector<uint8_t> bytes;
  for (size_t i = 0; i + 1 < text.size(); i += 2) {
    bytes.push_back(static_cast<uint8_t>(std::stoi(text.substr(i, 2), nullptr, 16)));
  }
  return bytes;
}

// Equal in the map ordering's sense: neither orders before the other.
bool SameByOrdering(const EncodableValue& a, const EncodableValue& b) {
  return !(a < b) && !(b < a);
}

const StandardMethodCodec& Codec() { return StandardMethodCodec::SharedInstance(); }

TEST(EncodableValueOrderingTest, AscendingSequenceIsStrictlyOrdered) {
  const double nan = std::numeric_limits<double>::quiet_NaN();
  // Each value must order strictly before every later one.
  const std::vector<EncodableValue> ascending = {
      EncodableValue(),
      EncodableValue(false),
      EncodableValue(true),
      EncodableValue(int32_t{-5}),
      EncodableValue(int32_t{5}),
      EncodableValue(int64_t{1}),  // index decides before payload
      EncodableValue(-1.5),
      EncodableValue(std::string("ab")),
      EncodableValue(std::string("abd")),
      EncodableValue(std::string("\xE9")),  // unsigned bytes: after every ASCII byte
      EncodableValue(std::vector<uint8_t>{1, 2}),
      EncodableValue(std::vector<uint8_t>{0x80}),
      EncodableValue(std::vector<double>{nan, 1.0}),
      EncodableValue(std::vector<double>{nan, 2.0}),  // NaN ties, the next element decides
      EncodableValue(EncodableValueList{EncodableValue(int32_t{1})}),
      EncodableValue(EncodableValueList{EncodableValue(int32_t{1}), EncodableValue()}),
      EncodableValue(EncodableValueMap{{EncodableValue(int32_t{1}), EncodableValue()}}),
      EncodableValue(EncodableValueMap{{EncodableValue(int32_t{2}), EncodableValue()}}),
      EncodableValue(CustomValue(1)),
      EncodableValue(std::vector<float>{}),
  };
  for (size_t i = 0; i < ascending.size(); ++i) {
    for (size_t j = 0; j < ascending.size(); ++j) {
      EXPECT_EQ(ascending[i] < ascending[j], i < j) << "i=" << i << " j=" << j;
    }
  }
}

TEST(EncodableValueOrderingTest, NaNOrdersNeitherWayAndCustomValuesByIdentity) {
  const EncodableValue nan(std::nan(""));
  EXPECT_FALSE(nan < EncodableValue(1.0));
  EXPECT_FALSE(EncodableValue(1.0) < nan);
  // Two custom values are never the same map key, whatever they hold.
  const EncodableValue a(CustomValue(7)), b(CustomValue(7));
  EXPECT_NE(a < b, b < a);
}

// Equal trees must be compared once per level, not twice: a 100-level key
// would otherwise take 2^100 steps, and a decoded map of such keys would hang.
TEST(EncodableValueOrderingTest, DeepEqualTreesCompareInLinearTime) {
  auto deep = [](int32_t leaf) {
    EncodableValue value(leaf);
    for (int i = 0; i < 100; ++i) value = EncodableValue(EncodableValueList{value});
    return value;
  };
  EncodableValueMap map;
  map.emplace(deep(1), EncodableValue());
  map.emplace(deep(1), EncodableValue());
  EXPECT_EQ(map.size(), 1u);
  EXPECT_TRUE(deep(1) < deep(2));
}

// Each value is written as these bytes, followed by `tail` bytes 'x', and read back.
TEST(StandardCodecSerializerTest, WritesTheWireFormatAndReadsItBack) {
  struct Case {
    EncodableValue value;
    std::string hex;
    size_t tail = 0;
  };
  const std::vector<Case> cases = {
      {EncodableValue(), "00"},
      {EncodableValue(true), "01"},
      {EncodableValue(false), "02"},
      {EncodableValue(int32_t{-2}), "03 FEFFFFFF"},
      {EncodableValue(int64_t{0x0102030405060708}), "04 0807060504030201"},
      {EncodableValue(1.0), "06 00000000000000 000000000000F03F"},
      {EncodableValue("abc"), "07 03 616263"},
      {EncodableValue(std::string(253, 'x')), "07 FD", 253},
      {EncodableValue(std::string(254, 'x')), "07 FE FE00", 254},
      {EncodableValue(std::string(65536, 'x')), "07 FF 00000100", 65536},
      {EncodableValue(std::vector<uint8_t>{1, 2}), "08 02 0102"},
      {EncodableValue(std::vector<int32_t>{}), "09 00 0000"},  // aligned even when empty
      {EncodableValue(std::vector<int64_t>{-1}), "0A 01 000000000000 FFFFFFFFFFFFFFFF"},
      {EncodableValue(std::vector<float>{1.0f}), "0E 01 0000 0000803F"},
      {EncodableValue(EncodableValueList{EncodableValue(true), EncodableValue()}), "0C 02 01 00"},
      {EncodableValue(EncodableValueMap{{EncodableValue("b"), EncodableValue(int32_t{1})},
                                        {EncodableValue("a"), EncodableValue(int32_t{2})}}),
       "0D 02 07 01 61 03 02000000 07 01 62 03 01000000"},  // in key order
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.hex);
    std::vector<uint8_t> expected = Hex(c.hex);
    expected.resize(expected.size() + c.tail, 'x');
    EXPECT_EQ(Encode(c.value), expected);
    EXPECT_TRUE(SameByOrdering(Decode(expected), c.value));
  }
}

// Odd and hostile input decodes to a value, with at most one line saying why.
// A declared size that the rest cannot hold allocates nothing, gives an empty
// value and leaves nothing more to read.
TEST(StandardCodecSerializerTest, OddInputDecodesToAValue) {
  struct Case {
    std::string hex;
    EncodableValue value;
    std::string line;
    size_t left = 0;  // bytes still unread
  };
  const std::vector<Case> cases = {
      {"05 02 3132", EncodableValue("12"), ""},  // a large integer reads as its text
      {"0F", EncodableValue(), "Unknown type in StandardCodecSerializer::ReadValueOfType: 15\n"},
      {"", EncodableValue(), kInvalidRead},
      {"03 0102", EncodableValue(int32_t{0}), kInvalidRead, 2},
      {"06 0000", EncodableValue(0.0), kInvalidRead},  // padding runs past the end
      {"0D 02 07 01 6B 03 00000000 07 01 6B 03 01000000",
       EncodableValue(EncodableValueMap{{EncodableValue("k"), EncodableValue(int32_t{0})}}),
       ""},  // of two equal keys the first wins
      {"0C 05 00 00 00 00 00", EncodableValue(EncodableValueList(5)), ""},  // exactly fits
      {"0C 01 07 00", EncodableValue(EncodableValueList{EncodableValue("")}),
       ""},  // empty at the end
      {"07 FF FFFFFFFF 6162", EncodableValue(""), kInvalidRead},
      {"08 05 01020304", EncodableValue(std::vector<uint8_t>{}), kInvalidRead},
      {"0B FE FFFF", EncodableValue(std::vector<double>{}), kInvalidRead},
      {"0E 03 0000 00000000 00000000", EncodableValue(std::vector<float>{}), kInvalidRead},
      {"0C 05 00000000", EncodableValue(EncodableValueList{}), kInvalidRead},
      {"0D 03 00000000 00", EncodableValue(EncodableValueMap{}), kInvalidRead},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.hex);
    const std::vector<uint8_t> bytes = Hex(c.hex);
    ByteBufferStreamReader reader(bytes.data(), bytes.size());
    ::testing::internal::CaptureStderr();
    const EncodableValue value = StandardCodecSerializer::SharedInstance().ReadValue(&reader);
    EXPECT_EQ(::testing::internal::GetCapturedStderr(), c.line);
    EXPECT_TRUE(SameByOrdering(value, c.value));
    EXPECT_EQ(reader.RemainingBytes(), c.left);
  }
}

// Lists, and maps, nested far too deep: the levels up to the limit are kept,
// the next one is null, and the rest of the message is skipped.
TEST(StandardCodecSerializerTest, NestingBeyondTheLimitIsRefused) {
  for (const char* level : {"0C 01", "0D 01 00"}) {
    SCOPED_TRACE(level);
    std::vector<uint8_t> bytes;
    for (int i = 0; i < 100000; ++i) std::ranges::copy(Hex(level), std::back_inserter(bytes));
    bytes.push_back(0x01);
    ByteBufferStreamReader reader(bytes.data(), bytes.size());
    ::testing::internal::CaptureStderr();
    const EncodableValue value = StandardCodecSerializer::SharedInstance().ReadValue(&reader);
    EXPECT_EQ(::testing::internal::GetCapturedStderr(),
              "Nesting deeper than 128 in StandardCodecSerializer::ReadValue; ignoring the rest "
              "of the message.\n");
    EXPECT_EQ(reader.RemainingBytes(), 0u);
    std::vector<uint8_t> kept(bytes.begin(), bytes.begin() + kMaxNestingDepth * Hex(level).size());
    kept.push_back(0x00);  // the refused level
    EXPECT_EQ(Encode(value), kept);
  }
}

// Containers nested inside each other cannot all claim the same bytes: a
// message of 128 lists that each declare everything that is left decodes to
// no more values than it has bytes, with no more lines.
TEST(StandardCodecSerializerTest, NestedContainersCannotAmplifyAMessage) {
  std::vector<uint8_t> bytes;
  for (int level = 0; level < 128; ++level) {
    std::ranges::copy(Hex("0C FF FF FF 00 00"), std::back_inserter(bytes));
  }
  bytes.resize(64 * 1024, 0x0C);
  for (size_t at = 0; at < 128 * 6; at += 6) {
    const uint32_t left = static_cast<uint32_t>(bytes.size() - at - 6);
    std::memcpy(&bytes[at + 2], &left, sizeof(left));
  }
  ::testing::internal::CaptureStderr();
  const EncodableValue value = Decode(bytes);
  const std::string lines = ::testing::internal::GetCapturedStderr();
  size_t values = 0;
  const std::function<void(const EncodableValue&)> count = [&](const EncodableValue& v) {
    ++values;
    if (const auto* list = std::get_if<EncodableValueList>(&v)) std::ranges::for_each(*list, count);
  };
  count(value);
  EXPECT_LE(values, bytes.size());
  EXPECT_LE(static_cast<size_t>(std::ranges::count(lines, '\n')), bytes.size());
}

// An extended serializer sees every nested value, not only the outermost.
TEST(StandardCodecSerializerTest, NestedReadsGoThroughTheExtension) {
  struct Extended : StandardCodecSerializer {
    EncodableValue ReadValueOfType(uint8_t type, ByteStreamReader* reader) const override {
      if (type == 0x80) return EncodableValue("own");
      return StandardCodecSerializer::ReadValueOfType(type, reader);
    }
  } extended;
  const std::vector<uint8_t> bytes = Hex("0C 02 80 0D 01 80 80");
  ByteBufferStreamReader reader(bytes.data(), bytes.size());
  const EncodableValue own("own");
  EXPECT_TRUE(SameByOrdering(
      extended.ReadValue(&reader),
      EncodableValue(EncodableValueList{own, EncodableValue(EncodableValueMap{{own, own}})})));
}

// A size of 2^32 or more would be cut on the wire and corrupt the message:
// refused, with nothing written.
TEST(StandardCodecSerializerTest, SizesBeyondTheFormatAreRefused) {
  struct Sizes : StandardCodecSerializer {
    using StandardCodecSerializer::WriteSize;
  } sizes;
  std::vector<uint8_t> bytes;
  ByteBufferStreamWriter writer(&bytes);
  EXPECT_TRUE(sizes.WriteSize(0xFFFFFFFFu, &writer));
  EXPECT_FALSE(sizes.WriteSize(uint64_t{1} << 32, &writer));
  EXPECT_EQ(bytes, Hex("FF FFFFFFFF"));
}

TEST(StandardMethodCodecTest, EncodesCallsAndEnvelopes) {
  EXPECT_EQ(*Codec().EncodeCall(MethodCall("open", nullptr)), Hex("07 04 6F70656E 00"));
  // Values after the envelope byte are aligned from the envelope's start.
  const EncodableValue half(0.5);
  EXPECT_EQ(*Codec().EncodeSuccess(&half), Hex("00 06 000000000000 000000000000E03F"));
  EXPECT_EQ(*Codec().EncodeError("e", "", nullptr), Hex("01 07 01 65 00 00"));
  const EncodableValue details(int64_t{5});
  EXPECT_EQ(*Codec().EncodeError("e", "m.", &details),
            Hex("01 07 01 65 07 02 6D2E 04 0500000000000000"));
}

// Each answer is encoded and sent once; a second one is refused with a
// line, and only a result never answered warns of the leak.
// Channels may be made on any thread: the shared codecs are found and made
// under a lock, one per serializer.
TEST(StandardMethodCodecTest, SharedInstancesAreSafeFromAnyThread) {
  // The codecs outlive the test, and so must what they point to.
  static std::vector<StandardCodecSerializer> serializers(8000);
  std::vector<const StandardMethodCodec*> codecs(serializers.size());
  std::vector<std::thread> threads;
  for (size_t from = 0; from < serializers.size(); from += 2000) {
    threads.emplace_back([&, from] {
      for (size_t i = from; i < from + 2000; ++i) {
        codecs[i] = &StandardMethodCodec::SharedInstance(&serializers[i]);
      }
    });
  }
  for (std::thread& thread : threads) thread.join();
  for (size_t i = 0; i < serializers.size(); ++i) {
    ASSERT_EQ(codecs[i], &StandardMethodCodec::SharedInstance(&serializers[i]));
  }
}

TEST(EngineMethodResultTest, AnswersOnceWithTheEncodedEnvelope) {
  const std::vector<std::pair<std::function<void(MethodResult&)>, std::string>> cases = {
      {[](MethodResult& result) { result.Success(); }, "00 00"},
      {[](MethodResult& result) { result.Error("e", "", EncodableValue(int32_t{1})); },
       "01 07 01 65 00 03 01000000"},
  };
  for (const auto& [answer, hex] : cases) {
    SCOPED_TRACE(hex);
    std::vector<std::vector<uint8_t>> sent;
    ::testing::internal::CaptureStderr();
    {
      EngineMethodResult result(
          [&sent](const uint8_t* data, size_t size) { sent.emplace_back(data, data + size); },
          &Codec());
      answer(result);
      answer(result);
    }
    EXPECT_EQ(::testing::internal::GetCapturedStderr(),
              "Error: Only one of Success, Error, or NotImplemented can be called, and it can be "
              "called exactly once. Ignoring duplicate result.\n");
    EXPECT_EQ(sent, std::vector<std::vector<uint8_t>>{Hex(hex)});
  }
  // One never answered warns, then answers empty, so that the caller does
  // not wait forever.
  std::vector<size_t> empty;
  ::testing::internal::CaptureStderr();
  {
    EngineMethodResult unanswered(
        [&empty](const uint8_t* data, size_t size) {
          empty.push_back(data == nullptr ? size : 99);
        },
        &Codec());
  }
  EXPECT_EQ(::testing::internal::GetCapturedStderr(),
            "Warning: Failed to respond to a message. This is a memory leak.\n");
  EXPECT_EQ(empty, std::vector<size_t>{0});
}

}  // namespace
}  // namespace flutter
