#ifndef DESKTOP_TESTING_RECORDING_METHOD_RESULT_H_
#define DESKTOP_TESTING_RECORDING_METHOD_RESULT_H_

#include <optional>
#include <string>

#include "engine_client/encodable_value.h"
#include "engine_client/method_result.h"

namespace veltrix {

// How a call was answered, kept outside the result so that it can be read
// after the handler has destroyed the result.
struct RecordedReply {
  int answers = 0;
  bool notImplemented = false;
  std::string code;  // empty for a success
  std::string message;
  std::optional<flutter::EncodableValue> value;  // the success value or the error details

  bool operator==(const RecordedReply&) const = default;
};

class RecordingMethodResult : public flutter::MethodResult {
 public:
  explicit RecordingMethodResult(RecordedReply* reply) : reply_(reply) {}

 protected:
  void OnSuccess(const flutter::EncodableValue* result) override { OnError({}, {}, result); }
  void OnError(const std::string& code, const std::string& message,
               const flutter::EncodableValue* value) override {
    *reply_ = {reply_->answers + 1, false, code, message,
               value ? std::optional(*value) : std::nullopt};
  }
  void OnNotImplemented() override { *reply_ = {reply_->answers + 1, true, {}, {}, {}}; }

 private:
  RecordedReply* reply_;
};

}  // namespace veltrix

#endif  // DESKTOP_TESTING_RECORDING_METHOD_RESULT_H_
