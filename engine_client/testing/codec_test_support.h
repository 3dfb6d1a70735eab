#ifndef ENGINE_CLIENT_TESTING_CODEC_TEST_SUPPORT_H_
#define ENGINE_CLIENT_TESTING_CODEC_TEST_SUPPORT_H_

#include <cstdint>
#include <string>
#include <vector>

#include "engine_client/byte_streams.h"
#include "engine_client/encodable_value.h"
#include "engine_client/standard_codec_serializer.h"

namespace flutter::testing {

inline std::vector<uint8_t> Encode(const EncodableValue& value) {
  std::vector<uint8_t> bytes;
  ByteBufferStreamWriter writer(&bytes);
  StandardCodecSerializer::SharedInstance().WriteValue(value, &writer);
  return bytes;
}

inline EncodableValue Decode(const std::vector<uint8_t>& bytes) {
  ByteBufferStreamReader reader(bytes.data(), bytes.size());
  return StandardCodecSerializer::SharedInstance().ReadValue(&reader);
}

// Hex text with optional spaces, for readable byte vectors.
inline std::vector<uint8_t> Hex(const std::string& text) {
  std::vector<uint8_t> bytes;
  std::string digits;
  for (char c : text) {
    if (c != ' ') digits.push_back(c);
  }
  for (size_t i = 0; i + 1 < digits.size(); i += 2) {
    bytes.push_back(static_cast<uint8_t>(std::stoi(digits.substr(i, 2), nullptr, 16)));
  }
  return bytes;
}

// Equal in the map ordering's sense: neither orders before the other.
inline bool SameByOrdering(const EncodableValue& a, const EncodableValue& b) {
  return !(a < b) && !(b < a);
}

}  // namespace flutter::testing

#endif  // ENGINE_CLIENT_TESTING_CODEC_TEST_SUPPORT_H_
