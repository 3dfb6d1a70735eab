#ifndef ENGINE_CLIENT_ENGINE_METHOD_RESULT_H_
#define ENGINE_CLIENT_ENGINE_METHOD_RESULT_H_

#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <vector>

#include "engine_client/method_codec.h"
#include "engine_client/method_result.h"

namespace flutter {

// Answers one incoming message: (reply bytes, byte count); null and 0 for an
// empty reply.
using ReplyCallback = std::function<void(const uint8_t* reply, size_t reply_size)>;

// Holds the engine's reply callback until it is used, once.
class PendingReply {
 public:
  explicit PendingReply(ReplyCallback callback) : callback_(std::move(callback)) {}
  ~PendingReply();

  PendingReply(const PendingReply&) = delete;
  PendingReply& operator=(const PendingReply&) = delete;

  void Send(const std::vector<uint8_t>* reply);

 private:
  ReplyCallback callback_;
};

// The result handed to the application for a call from the engine.
class EngineMethodResult : public MethodResult {
 public:
  EngineMethodResult(ReplyCallback callback, const MethodCodec* codec)
      : reply_(std::move(callback)), codec_(codec) {}

 protected:
  void OnSuccess(const EncodableValue* result) override;
  void OnError(const std::string& code, const std::string& message,
               const EncodableValue* details) override;
  void OnNotImplemented() override;

 private:
  PendingReply reply_;
  const MethodCodec* codec_;
};

}  // namespace flutter

#endif  // ENGINE_CLIENT_ENGINE_METHOD_RESULT_H_
