// Feeds arbitrary bytes to the three decoders. The first byte picks the
// decoder; the rest is the message. A decoded value must survive a second
// encode and decode unchanged.
#include <algorithm>
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <iostream>
#include <streambuf>

#include "engine_client/byte_streams.h"
#include "engine_client/standard_codec_serializer.h"
#include "engine_client/standard_method_codec.h"

namespace {

class DiscardingResult : public flutter::MethodResult {
 protected:
  void OnSuccess(const flutter::EncodableValue*) override {}
  void OnError(const std::string&, const std::string&, const flutter::EncodableValue*) override {}
  void OnNotImplemented() override {}
};

// A NaN is neither less nor greater than any double, so as (part of) a map
// key it breaks the map's ordering: which of two keys survives then depends
// on insertion order, and a round trip may legitimately keep another set.
bool ContainsNaN(const flutter::EncodableValue& value) {
  if (const double* number = std::get_if<double>(&value)) return std::isnan(*number);
  if (const auto* numbers = std::get_if<std::vector<double>>(&value)) {
    return std::any_of(numbers->begin(), numbers->end(), [](double d) { return std::isnan(d); });
  }
  if (const auto* numbers = std::get_if<std::vector<float>>(&value)) {
    return std::any_of(numbers->begin(), numbers->end(), [](float f) { return std::isnan(f); });
  }
  if (const auto* list = std::get_if<flutter::EncodableValueList>(&value)) {
    return std::any_of(list->begin(), list->end(), ContainsNaN);
  }
  if (const auto* map = std::get_if<flutter::EncodableValueMap>(&value)) {
    return std::any_of(map->begin(), map->end(), [](const auto& entry) {
      return ContainsNaN(entry.first) || ContainsNaN(entry.second);
    });
  }
  return false;
}

void CheckRoundTrip(const flutter::EncodableValue& value) {
  if (ContainsNaN(value)) return;
  const auto& serializer = flutter::StandardCodecSerializer::SharedInstance();
  std::vector<uint8_t> bytes;
  flutter::ByteBufferStreamWriter writer(&bytes);
  serializer.WriteValue(value, &writer);
  flutter::ByteBufferStreamReader reader(bytes.data(), bytes.size());
  const flutter::EncodableValue again = serializer.ReadValue(&reader);
  if (value < again || again < value || reader.position() != bytes.size()) std::abort();
}

// Swallows what is written to it.
class NullBuffer : public std::streambuf {
 protected:
  int overflow(int c) override { return c; }
};

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
  // The decoders report every bad read; keep the fuzzer's output readable.
  static NullBuffer sink;
  std::cerr.rdbuf(&sink);
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size == 0) return 0;
  const uint8_t* message = data + 1;
  const size_t length = size - 1;
  const auto& codec = flutter::StandardMethodCodec::SharedInstance();
  switch (data[0] % 3) {
    case 0: {
      auto call = codec.DecodeCall(message, length);
      if (call) CheckRoundTrip(*call->arguments());
      break;
    }
    case 1: {
      DiscardingResult result;
      codec.DecodeResponse(message, length, &result);
      break;
    }
    default: {
      flutter::ByteBufferStreamReader reader(message, length);
      CheckRoundTrip(flutter::StandardCodecSerializer::SharedInstance().ReadValue(&reader));
      break;
    }
  }
  return 0;
}
