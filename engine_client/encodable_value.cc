#include "engine_client/encodable_value.h"

#include <algorithm>
#include <cstddef>
#include <type_traits>

namespace flutter {
namespace {

// Three-way comparison: negative when a orders first, positive when b does,
// zero when neither does (equal, or a NaN involved). Deciding each pair of
// elements once keeps the ordering linear in the size of nested values;
// testing "a < b" and "b < a" at every level would double the work per level.
int Compare(const EncodableValue& a, const EncodableValue& b);

template <typename T>
int CompareScalar(const T& a, const T& b) {
  if (a < b) return -1;
  if (b < a) return 1;
  return 0;
}

int CompareElement(const EncodableValue& a, const EncodableValue& b) { return Compare(a, b); }
template <typename T>
int CompareElement(const T& a, const T& b) {
  return CompareScalar(a, b);
}

// Lexicographic; where one runs out first, the shorter is less.
template <typename T>
int CompareSequence(const std::vector<T>& a, const std::vector<T>& b) {
  const size_t common = std::min(a.size(), b.size());
  for (size_t i = 0; i < common; ++i) {
    if (const int order = CompareElement(a[i], b[i]); order != 0) return order;
  }
  return CompareScalar(a.size(), b.size());
}

int CompareText(const std::string& a, const std::string& b) {
  // Bytes compare as unsigned, so 0xE9 sorts after every ASCII byte.
  const int order = a.compare(b);
  return order < 0 ? -1 : (order > 0 ? 1 : 0);
}

int CompareMap(const EncodableValueMap& a, const EncodableValueMap& b) {
  auto ia = a.begin();
  auto ib = b.begin();
  for (; ia != a.end() && ib != b.end(); ++ia, ++ib) {
    if (const int order = Compare(ia->first, ib->first); order != 0) return order;
    if (const int order = Compare(ia->second, ib->second); order != 0) return order;
  }
  return CompareScalar(a.size(), b.size());
}

// The index with the valueless state one below null.
int OrderIndex(const EncodableValue& value) {
  return value.valueless_by_exception() ? -1 : static_cast<int>(value.index());
}

template <typename T>
int ComparePayload(const EncodableValue& a, const EncodableValue& b) {
  const T& x = std::get<T>(a);
  const T& y = std::get<T>(b);
  if constexpr (std::is_same_v<T, std::string>) {
    return CompareText(x, y);
  } else if constexpr (std::is_same_v<T, EncodableValueMap>) {
    return CompareMap(x, y);
  } else if constexpr (requires { x.size(); }) {
    return CompareSequence(x, y);
  } else {
    return CompareScalar(x, y);
  }
}

int Compare(const EncodableValue& a, const EncodableValue& b) {
  const int ia = OrderIndex(a);
  const int ib = OrderIndex(b);
  if (ia != ib) return ia < ib ? -1 : 1;
  switch (ia) {
    case 1:
      return ComparePayload<bool>(a, b);
    case 2:
      return ComparePayload<int32_t>(a, b);
    case 3:
      return ComparePayload<int64_t>(a, b);
    case 4:
      return ComparePayload<double>(a, b);
    case 5:
      return ComparePayload<std::string>(a, b);
    case 6:
      return ComparePayload<std::vector<uint8_t>>(a, b);
    case 7:
      return ComparePayload<std::vector<int32_t>>(a, b);
    case 8:
      return ComparePayload<std::vector<int64_t>>(a, b);
    case 9:
      return ComparePayload<std::vector<double>>(a, b);
    case 10:
      return ComparePayload<EncodableValueList>(a, b);
    case 11:
      return ComparePayload<EncodableValueMap>(a, b);
    case 12:
      return ComparePayload<CustomValue>(a, b);
    case 13:
      return ComparePayload<std::vector<float>>(a, b);
    default:  // valueless or null: all alike
      return 0;
  }
}

}  // namespace

bool operator<(const EncodableValue& a, const EncodableValue& b) { return Compare(a, b) < 0; }

}  // namespace flutter
