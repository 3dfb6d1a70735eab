// Feeds arbitrary bytes to the three decoders. The first byte picks the
// decoder; the rest is the message. A decoded value must survive a second
// encode and decode unchanged.
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

void CheckRoundTrip(const flutter::EncodableValue& value) {
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
