#include "engine_client/standard_method_codec.h"

#include <iostream>
#include <map>
#include <mutex>

#include "engine_client/byte_streams.h"

namespace flutter {
namespace {

constexpr uint8_t kSuccessEnvelope = 0;
constexpr uint8_t kErrorEnvelope = 1;

}  // namespace

const StandardMethodCodec& StandardMethodCodec::SharedInstance(
    const StandardCodecSerializer* serializer) {
  // Never freed, so that a codec is still there while statics are torn down;
  // any thread may ask.
  static auto* const registry =
      new std::map<const StandardCodecSerializer*, const StandardMethodCodec*>();
  static auto* const lock = new std::mutex();
  if (serializer == nullptr) serializer = &StandardCodecSerializer::SharedInstance();
  const std::lock_guard<std::mutex> held(*lock);
  const StandardMethodCodec*& codec = (*registry)[serializer];
  if (codec == nullptr) codec = new StandardMethodCodec(serializer);
  return *codec;
}

std::unique_ptr<MethodCall> StandardMethodCodec::DecodeCall(const uint8_t* message,
                                                            size_t message_size) const {
  ByteBufferStreamReader reader(message, message_size);
  EncodableValue name = serializer_->ReadValue(&reader);
  const std::string* methodName = std::get_if<std::string>(&name);
  if (methodName == nullptr) {
    std::cerr << "Invalid method call; method name is not a string." << std::endl;
    return nullptr;
  }
  auto arguments = std::make_unique<EncodableValue>(serializer_->ReadValue(&reader));
  return std::make_unique<MethodCall>(*methodName, std::move(arguments));
}

std::unique_ptr<std::vector<uint8_t>> StandardMethodCodec::EncodeCall(
    const MethodCall& call) const {
  auto bytes = std::make_unique<std::vector<uint8_t>>();
  ByteBufferStreamWriter writer(bytes.get());
  serializer_->WriteValue(EncodableValue(call.method_name()), &writer);
  serializer_->WriteValue(call.arguments() ? *call.arguments() : EncodableValue(), &writer);
  return bytes;
}

std::unique_ptr<std::vector<uint8_t>> StandardMethodCodec::EncodeSuccess(
    const EncodableValue* result) const {
  auto bytes = std::make_unique<std::vector<uint8_t>>();
  ByteBufferStreamWriter writer(bytes.get());
  writer.WriteByte(kSuccessEnvelope);
  serializer_->WriteValue(result ? *result : EncodableValue(), &writer);
  return bytes;
}

std::unique_ptr<std::vector<uint8_t>> StandardMethodCodec::EncodeError(
    const std::string& code, const std::string& message, const EncodableValue* details) const {
  auto bytes = std::make_unique<std::vector<uint8_t>>();
  ByteBufferStreamWriter writer(bytes.get());
  writer.WriteByte(kErrorEnvelope);
  serializer_->WriteValue(EncodableValue(code), &writer);
  serializer_->WriteValue(message.empty() ? EncodableValue() : EncodableValue(message), &writer);
  serializer_->WriteValue(details ? *details : EncodableValue(), &writer);
  return bytes;
}

bool StandardMethodCodec::DecodeResponse(const uint8_t* response, size_t response_size,
                                         MethodResult* result) const {
  ByteBufferStreamReader reader(response, response_size);
  switch (reader.ReadByte()) {
    case kSuccessEnvelope: {
      EncodableValue value = serializer_->ReadValue(&reader);
      if (value.IsNull()) {
        result->Success();
      } else {
        result->Success(value);
      }
      return true;
    }
    case kErrorEnvelope: {
      EncodableValue code = serializer_->ReadValue(&reader);
      EncodableValue message = serializer_->ReadValue(&reader);
      EncodableValue details = serializer_->ReadValue(&reader);
      // A code that is not a string, or a message that is neither a string
      // nor null, makes the envelope unreadable rather than ending the process.
      const std::string* codeText = std::get_if<std::string>(&code);
      const std::string* messageText = std::get_if<std::string>(&message);
      if (codeText == nullptr || (messageText == nullptr && !message.IsNull())) return false;
      const std::string emptyMessage;
      const std::string& text = messageText ? *messageText : emptyMessage;
      if (details.IsNull()) {
        result->Error(*codeText, text);
      } else {
        result->Error(*codeText, text, details);
      }
      return true;
    }
    default:
      return false;
  }
}

}  // namespace flutter
