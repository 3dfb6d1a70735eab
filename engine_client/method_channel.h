#ifndef ENGINE_CLIENT_METHOD_CHANNEL_H_
#define ENGINE_CLIENT_METHOD_CHANNEL_H_

#include <functional>
#include <memory>
#include <string>

#include "engine_client/binary_messenger.h"
#include "engine_client/encodable_value.h"
#include "engine_client/method_call.h"
#include "engine_client/method_codec.h"
#include "engine_client/method_result.h"

namespace flutter {

// Receives each decoded call with the result that answers it once.
using CallHandler =
    std::function<void(const MethodCall& call, std::unique_ptr<MethodResult> result)>;

// A named channel of method calls over a messenger and a method codec.
class CodecMethodChannel {
 public:
  // Neither the messenger nor the codec is owned; both outlive the channel.
  CodecMethodChannel(BinaryMessenger* messenger, const std::string& name, const MethodCodec* codec);

  CodecMethodChannel(const CodecMethodChannel&) = delete;
  CodecMethodChannel& operator=(const CodecMethodChannel&) = delete;

  // An empty handler unregisters the channel.
  void SetCallHandler(CallHandler handler);

  // Sends a call to the other side; `result`, when given, gets the reply.
  void InvokeMethod(const std::string& method, std::unique_ptr<EncodableValue> arguments,
                    std::unique_ptr<MethodResult> result = nullptr);

 private:
  BinaryMessenger* messenger_;
  std::string name_;
  const MethodCodec* codec_;
};

}  // namespace flutter

#endif  // ENGINE_CLIENT_METHOD_CHANNEL_H_
