#include "engine_client/method_channel.h"

#include <iostream>
#include <utility>

#include "engine_client/engine_method_result.h"

namespace flutter {

CodecMethodChannel::CodecMethodChannel(BinaryMessenger* messenger, const std::string& name,
                                       const MethodCodec* codec)
    : messenger_(messenger), name_(name), codec_(codec) {}

void CodecMethodChannel::SetCallHandler(CallHandler handler) {
  if (!handler) {
    messenger_->SetMessageHandler(name_, nullptr);
    return;
  }
  const MethodCodec* codec = codec_;
  messenger_->SetMessageHandler(name_, [handler = std::move(handler), codec, name = name_](
                                           const uint8_t* message, size_t message_size,
                                           ReplyCallback reply) {
    auto result = std::make_unique<EngineMethodResult>(std::move(reply), codec);
    std::unique_ptr<MethodCall> call = codec->DecodeCall(message, message_size);
    if (!call) {
      std::cerr << "Unable to construct method call from message on channel " << name << std::endl;
      result->NotImplemented();
      return;
    }
    handler(*call, std::move(result));
  });
}

void CodecMethodChannel::InvokeMethod(const std::string& method,
                                      std::unique_ptr<EncodableValue> arguments,
                                      std::unique_ptr<MethodResult> result) {
  MethodCall call(method, std::move(arguments));
  std::unique_ptr<std::vector<uint8_t>> message = codec_->EncodeCall(call);
  if (!result) {
    messenger_->Send(name_, message->data(), message->size(), nullptr);
    return;
  }
  std::shared_ptr<MethodResult> shared_result(std::move(result));
  const MethodCodec* codec = codec_;
  messenger_->Send(name_, message->data(), message->size(),
                   [shared_result, codec, name = name_](const uint8_t* reply, size_t reply_size) {
                     if (reply_size == 0) {
                       shared_result->NotImplemented();
                       return;
                     }
                     if (!codec->DecodeResponse(reply, reply_size, shared_result.get())) {
                       std::cerr << "Unable to decode reply to method invocation on channel "
                                 << name << std::endl;
                       shared_result->NotImplemented();
                     }
                   });
}

}  // namespace flutter
