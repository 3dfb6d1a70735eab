#include "engine_client/engine_method_result.h"

#include <iostream>

namespace flutter {

PendingReply::~PendingReply() {
  if (!callback_) return;
  std::cerr << "Warning: Failed to respond to a message. This is a memory leak." << std::endl;
  // Otherwise the caller would wait forever: the empty reply says the
  // method is not implemented.
  callback_(nullptr, 0);
}

void PendingReply::Send(const std::vector<uint8_t>* reply) {
  if (!callback_) {
    std::cerr << "Error: Only one of Success, Error, or NotImplemented can be called,"
              << " and it can be called exactly once. Ignoring duplicate result." << std::endl;
    return;
  }
  // Empty the holder before the call so the callback is used once, however it ends.
  ReplyCallback callback = std::move(callback_);
  callback_ = nullptr;
  if (reply == nullptr || reply->empty()) {
    callback(nullptr, 0);
  } else {
    callback(reply->data(), reply->size());
  }
}

void EngineMethodResult::OnSuccess(const EncodableValue* result) {
  reply_.Send(codec_->EncodeSuccess(result).get());
}

void EngineMethodResult::OnError(const std::string& code, const std::string& message,
                                 const EncodableValue* details) {
  reply_.Send(codec_->EncodeError(code, message, details).get());
}

void EngineMethodResult::OnNotImplemented() { reply_.Send(nullptr); }

}  // namespace flutter
