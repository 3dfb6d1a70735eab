#ifndef DESKTOP_TESTING_RECORDING_METHOD_RESULT_H_
#define DESKTOP_TESTING_RECORDING_METHOD_RESULT_H_

#include <gtest/gtest.h>

#include <optional>
#include <string>

#include "engine_client/encodable_value.h"
#include "engine_client/method_result.h"

namespace veltrix {

// What a call was answered with. Lives outside the result so that it can be
// read after the handler has destroyed the result.
struct RecordedReply {
  enum class Kind { None, Success, Error, NotImplemented };

  Kind kind = Kind::None;
  int answers = 0;
  // Success value or error details; empty when none was given.
  std::optional<flutter::EncodableValue> value;
  std::string code;
  std::string message;

  bool IsSuccess() const { return kind == Kind::Success; }
  bool IsError() const { return kind == Kind::Error; }
  bool IsNotImplemented() const { return kind == Kind::NotImplemented; }
};

// A MethodResult that records its answer and fails the running test when it
// is answered twice, or destroyed without an answer (unless told that no
// answer is expected).
class RecordingMethodResult : public flutter::MethodResult {
 public:
  enum class Expect { Answer, NoAnswer };

  explicit RecordingMethodResult(RecordedReply* reply, Expect expect = Expect::Answer)
      : reply_(reply), expect_(expect) {}
  ~RecordingMethodResult() override {
    if (expect_ == Expect::Answer && reply_->answers == 0) {
      ADD_FAILURE() << "method result destroyed without being answered";
    }
  }

 protected:
  void OnSuccess(const flutter::EncodableValue* result) override {
    if (!Begin("Success")) return;
    reply_->kind = RecordedReply::Kind::Success;
    if (result != nullptr) reply_->value = *result;
  }
  void OnError(const std::string& code, const std::string& message,
               const flutter::EncodableValue* details) override {
    if (!Begin("Error")) return;
    reply_->kind = RecordedReply::Kind::Error;
    reply_->code = code;
    reply_->message = message;
    if (details != nullptr) reply_->value = *details;
  }
  void OnNotImplemented() override {
    if (!Begin("NotImplemented")) return;
    reply_->kind = RecordedReply::Kind::NotImplemented;
  }

 private:
  // Keeps the first answer; a later one is a failure and is not recorded.
  bool Begin(const char* what) {
    ++reply_->answers;
    if (reply_->answers > 1) {
      ADD_FAILURE() << "method result answered twice; second answer: " << what;
      return false;
    }
    return true;
  }

  RecordedReply* reply_;
  Expect expect_;
};

}  // namespace veltrix

#endif  // DESKTOP_TESTING_RECORDING_METHOD_RESULT_H_
