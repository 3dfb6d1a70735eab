#ifndef ENGINE_CLIENT_ENCODABLE_VALUE_H_
#define ENGINE_CLIENT_ENCODABLE_VALUE_H_

#include <any>
#include <compare>
#include <cstdint>
#include <map>
#include <string>
#include <utility>
#include <variant>
#include <vector>

namespace flutter {

class EncodableValue;

using EncodableValueList = std::vector<EncodableValue>;
using EncodableValueMap = std::map<EncodableValue, EncodableValue>;

// Carries an application object through a codec that knows its type. Values
// compare by the address of the held object, so two custom values are never
// the same map key.
class CustomValue {
 public:
  template <typename T>
  explicit CustomValue(T value) : value_(std::move(value)) {}

  const std::any& value() const { return value_; }
  const void* identity() const { return &value_; }

  friend bool operator<(const CustomValue& a, const CustomValue& b) {
    return std::less<const void*>()(a.identity(), b.identity());
  }
  friend bool operator==(const CustomValue& a, const CustomValue& b) {
    return a.identity() == b.identity();
  }

 private:
  std::any value_;
};

// The alternatives in their fixed index order; the codec's type switch and
// the ordering are keyed on this index.
using EncodableVariant = std::variant<std::monostate,        // 0 null
                                      bool,                  // 1
                                      int32_t,               // 2
                                      int64_t,               // 3
                                      double,                // 4
                                      std::string,           // 5
                                      std::vector<uint8_t>,  // 6
                                      std::vector<int32_t>,  // 7
                                      std::vector<int64_t>,  // 8
                                      std::vector<double>,   // 9
                                      EncodableValueList,    // 10
                                      EncodableValueMap,     // 11
                                      CustomValue,           // 12
                                      std::vector<float>>;   // 13

// The value exchanged with the engine on method channels.
class EncodableValue : public EncodableVariant {
 public:
  using EncodableVariant::EncodableVariant;
  using EncodableVariant::operator=;

  EncodableValue() = default;
  // Without this a string literal would pick the bool alternative.
  explicit EncodableValue(const char* text) : EncodableVariant(std::string(text)) {}

  EncodableValue(const EncodableValue&) = default;
  EncodableValue(EncodableValue&&) noexcept = default;
  EncodableValue& operator=(const EncodableValue&) = default;
  EncodableValue& operator=(EncodableValue&&) noexcept = default;

  bool IsNull() const { return std::holds_alternative<std::monostate>(*this); }

  // The total ordering used for map keys.
  friend bool operator<(const EncodableValue& a, const EncodableValue& b);
  // Values are ordered by operator< alone. Without this the variant's own
  // three-way comparison is considered for every `<`, and its constraint
  // recurses through the list and map alternatives (a hard error in GCC).
  friend std::partial_ordering operator<=>(const EncodableValue&, const EncodableValue&) = delete;
};

bool operator<(const EncodableValue& a, const EncodableValue& b);

}  // namespace flutter

#endif  // ENGINE_CLIENT_ENCODABLE_VALUE_H_
