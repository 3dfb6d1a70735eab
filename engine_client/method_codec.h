#ifndef ENGINE_CLIENT_METHOD_CODEC_H_
#define ENGINE_CLIENT_METHOD_CODEC_H_

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "engine_client/encodable_value.h"
#include "engine_client/method_call.h"
#include "engine_client/method_result.h"

namespace flutter {

// Turns method calls and reply envelopes into bytes and back.
class MethodCodec {
 public:
  MethodCodec() = default;
  virtual ~MethodCodec() = default;

  MethodCodec(const MethodCodec&) = delete;
  MethodCodec& operator=(const MethodCodec&) = delete;

  virtual std::unique_ptr<MethodCall> DecodeCall(const uint8_t* message,
                                                 size_t message_size) const = 0;
  virtual std::unique_ptr<std::vector<uint8_t>> EncodeCall(const MethodCall& call) const = 0;
  virtual std::unique_ptr<std::vector<uint8_t>> EncodeSuccess(
      const EncodableValue* result) const = 0;
  virtual std::unique_ptr<std::vector<uint8_t>> EncodeError(
      const std::string& code, const std::string& message, const EncodableValue* details) const = 0;
  // Delivers a reply envelope to `result`; false when it is not understood.
  virtual bool DecodeResponse(const uint8_t* response, size_t response_size,
                              MethodResult* result) const = 0;
};

}  // namespace flutter

#endif  // ENGINE_CLIENT_METHOD_CODEC_H_
