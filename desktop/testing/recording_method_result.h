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
  // The success value or the error details.
  std::optional<flutter::EncodableValue> value;

  bool operator==(const RecordedReply&) const = default;
};

class RecordingMethodResult : public flutter::MethodResult {
 public:
  explicit RecordingMethodResult(RecordedReply* reply) : reply_(reply) {}

 protected:
  void OnSuccess(const flutter::EncodableValue* result) override { Record({}, {}, result); }
  void OnError(const std::string& code, const std::string& message,
               const flutter::EncodableValue* details) override {
    Record(code, message, details);
  }
  void OnNotImplemented() override {
    ++reply_->answers;
    reply_->notImplemented = true;
  }

 private:
  void Record(const std::string& code, const std::string& message,
              const flutter::EncodableValue* value) {
    *reply_ = {reply_->answers + 1, false, code, message,
               value ? std::optional(*value) : std::nullopt};
  }

  RecordedReply* reply_;
};

}  // namespace veltrix

#endif  // DESKTOP_TESTING_RECORDING_METHOD_RESULT_H_
