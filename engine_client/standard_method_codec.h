#ifndef ENGINE_CLIENT_STANDARD_METHOD_CODEC_H_
#define ENGINE_CLIENT_STANDARD_METHOD_CODEC_H_

#include "engine_client/method_codec.h"
#include "engine_client/standard_codec_serializer.h"

namespace flutter {

// Method calls and envelopes over the standard message format.
class StandardMethodCodec : public MethodCodec {
 public:
  // The process-wide codec for `serializer` (by identity); null stands for
  // the standard serializer. Codecs live until the process ends.
  static const StandardMethodCodec& SharedInstance(
      const StandardCodecSerializer* serializer = nullptr);

  std::unique_ptr<MethodCall> DecodeCall(const uint8_t* message,
                                         size_t message_size) const override;
  std::unique_ptr<std::vector<uint8_t>> EncodeCall(const MethodCall& call) const override;
  std::unique_ptr<std::vector<uint8_t>> EncodeSuccess(const EncodableValue* result) const override;
  std::unique_ptr<std::vector<uint8_t>> EncodeError(const std::string& code,
                                                    const std::string& message,
                                                    const EncodableValue* details) const override;
  bool DecodeResponse(const uint8_t* response, size_t response_size,
                      MethodResult* result) const override;

 private:
  explicit StandardMethodCodec(const StandardCodecSerializer* serializer)
      : serializer_(serializer) {}

  const StandardCodecSerializer* serializer_;
};

}  // namespace flutter

#endif  // ENGINE_CLIENT_STANDARD_METHOD_CODEC_H_
