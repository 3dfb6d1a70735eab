#include "engine_client/encodable_value.h"

#include <algorithm>
#include <cstddef>

namespace flutter {
namespace {

// Lexicographic order where each pair of elements is tested in both
// directions, so elements that are neither less nor greater (NaN) let the
// next position decide.
template <typename T>
bool LexicographicLess(const std::vector<T>& a, const std::vector<T>& b) {
  const size_t common = std::min(a.size(), b.size());
  for (size_t i = 0; i < common; ++i) {
    if (a[i] < b[i]) return true;
    if (b[i] < a[i]) return false;
  }
  return a.size() < b.size();
}

bool StringLess(const std::string& a, const std::string& b) {
  // Bytes compare as unsigned, so 0xE9 sorts after every ASCII byte.
  return std::lexicographical_compare(a.begin(), a.end(), b.begin(), b.end(), [](char x, char y) {
    return static_cast<unsigned char>(x) < static_cast<unsigned char>(y);
  });
}

bool MapLess(const EncodableValueMap& a, const EncodableValueMap& b) {
  auto ia = a.begin();
  auto ib = b.begin();
  for (; ia != a.end() && ib != b.end(); ++ia, ++ib) {
    if (ia->first < ib->first) return true;
    if (ib->first < ia->first) return false;
    if (ia->second < ib->second) return true;
    if (ib->second < ia->second) return false;
  }
  return ia == a.end() && ib != b.end();
}

// The index with the valueless state one below null.
int OrderIndex(const EncodableValue& value) {
  return value.valueless_by_exception() ? -1 : static_cast<int>(value.index());
}

}  // namespace

bool operator<(const EncodableValue& a, const EncodableValue& b) {
  const int ia = OrderIndex(a);
  const int ib = OrderIndex(b);
  if (ia != ib) return ia < ib;
  switch (ia) {
    case -1:
    case 0:
      return false;
    case 1:
      return std::get<bool>(a) < std::get<bool>(b);
    case 2:
      return std::get<int32_t>(a) < std::get<int32_t>(b);
    case 3:
      return std::get<int64_t>(a) < std::get<int64_t>(b);
    case 4:
      return std::get<double>(a) < std::get<double>(b);
    case 5:
      return StringLess(std::get<std::string>(a), std::get<std::string>(b));
    case 6:
      return LexicographicLess(std::get<std::vector<uint8_t>>(a),
                               std::get<std::vector<uint8_t>>(b));
    case 7:
      return LexicographicLess(std::get<std::vector<int32_t>>(a),
                               std::get<std::vector<int32_t>>(b));
    case 8:
      return LexicographicLess(std::get<std::vector<int64_t>>(a),
                               std::get<std::vector<int64_t>>(b));
    case 9:
      return LexicographicLess(std::get<std::vector<double>>(a), std::get<std::vector<double>>(b));
    case 10:
      return LexicographicLess(std::get<EncodableValueList>(a), std::get<EncodableValueList>(b));
    case 11:
      return MapLess(std::get<EncodableValueMap>(a), std::get<EncodableValueMap>(b));
    case 12:
      return std::get<CustomValue>(a) < std::get<CustomValue>(b);
    case 13:
      return LexicographicLess(std::get<std::vector<float>>(a), std::get<std::vector<float>>(b));
  }
  return false;
}

}  // namespace flutter
