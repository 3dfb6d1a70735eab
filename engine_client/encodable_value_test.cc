#include "engine_client/encodable_value.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <stdexcept>

namespace flutter {
namespace {

// A value that throws while being copied leaves the variant without an alternative.
struct ThrowsOnCopy {
  ThrowsOnCopy() = default;
  ThrowsOnCopy(const ThrowsOnCopy&) { throw std::runtime_error("copy"); }
};

EncodableValue Valueless() {
  EncodableValue value(int32_t{1});
  try {
    value.emplace<CustomValue>(ThrowsOnCopy());
  } catch (const std::exception&) {
  }
  return value;
}

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
      EncodableValue(std::string("abc")),
      EncodableValue(std::string("abd")),
      EncodableValue(std::string("\xE9")),  // unsigned bytes: after every ASCII byte
      EncodableValue(std::vector<uint8_t>{1, 2}),
      EncodableValue(std::vector<uint8_t>{1, 2, 0}),
      EncodableValue(std::vector<uint8_t>{0x80}),
      EncodableValue(std::vector<int32_t>{-1}),
      EncodableValue(std::vector<int64_t>{}),
      EncodableValue(std::vector<double>{nan, 1.0}),
      EncodableValue(std::vector<double>{nan, 2.0}),  // NaN ties, the next element decides
      EncodableValue(EncodableValueList{EncodableValue(int32_t{1})}),
      EncodableValue(EncodableValueList{EncodableValue(int32_t{1}), EncodableValue()}),
      EncodableValue(EncodableValueMap{{EncodableValue(int32_t{1}), EncodableValue()}}),
      EncodableValue(EncodableValueMap{{EncodableValue(int32_t{1}), EncodableValue(true)}}),
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

TEST(EncodableValueOrderingTest, ValuelessBeforeNullAndNaNNeitherWay) {
  const EncodableValue valueless = Valueless();
  ASSERT_TRUE(valueless.valueless_by_exception());
  EXPECT_TRUE(valueless < EncodableValue());
  EXPECT_FALSE(EncodableValue() < valueless);
  EXPECT_FALSE(valueless < Valueless());
  const EncodableValue nan(std::nan(""));
  EXPECT_FALSE(nan < EncodableValue(1.0));
  EXPECT_FALSE(EncodableValue(1.0) < nan);
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

TEST(EncodableValueMapTest, IteratesByIndexThenPayloadAndKeepsFirstInsert) {
  EncodableValueMap map;
  map.emplace(EncodableValue(int32_t{2}), EncodableValue(int32_t{0}));
  map.emplace(EncodableValue("a"), EncodableValue(int32_t{0}));
  map.emplace(EncodableValue(false), EncodableValue(int32_t{0}));
  std::vector<size_t> order;
  for (const auto& [key, value] : map) order.push_back(key.index());
  EXPECT_EQ(order, (std::vector<size_t>{1, 2, 5}));

  EncodableValueMap keep{{EncodableValue("k"), EncodableValue(int32_t{0})}};
  keep.insert({EncodableValue("k"), EncodableValue(int32_t{1})});
  EXPECT_EQ(std::get<int32_t>(keep.at(EncodableValue("k"))), 0);
  // A 64-bit 1 never finds a string key, nor a 32-bit 1.
  EXPECT_EQ(keep.count(EncodableValue(int64_t{1})), 0u);
  // Custom values are keys by identity: equal payloads stay distinct.
  keep.emplace(EncodableValue(CustomValue(7)), EncodableValue());
  keep.emplace(EncodableValue(CustomValue(7)), EncodableValue());
  EXPECT_EQ(keep.size(), 3u);
}

TEST(EncodableValueTest, TextLiteralIsAStringNotABool) {
  EXPECT_EQ(EncodableValue("text").index(), 5u);
}

}  // namespace
}  // namespace flutter
