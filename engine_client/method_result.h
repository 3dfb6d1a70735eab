#ifndef ENGINE_CLIENT_METHOD_RESULT_H_
#define ENGINE_CLIENT_METHOD_RESULT_H_

#include <string>

#include "engine_client/encodable_value.h"

namespace flutter {

// The sink through which a method call is answered exactly once.
class MethodResult {
 public:
  MethodResult() = default;
  virtual ~MethodResult() = default;

  MethodResult(const MethodResult&) = delete;
  MethodResult& operator=(const MethodResult&) = delete;

  void Success() { OnSuccess(nullptr); }
  void Success(const EncodableValue& result) { OnSuccess(&result); }
  void Error(const std::string& code, const std::string& message) {
    OnError(code, message, nullptr);
  }
  void Error(const std::string& code, const std::string& message, const EncodableValue& details) {
    OnError(code, message, &details);
  }
  void NotImplemented() { OnNotImplemented(); }

 protected:
  virtual void OnSuccess(const EncodableValue* result) = 0;
  virtual void OnError(const std::string& code, const std::string& message,
                       const EncodableValue* details) = 0;
  virtual void OnNotImplemented() = 0;
};

}  // namespace flutter

#endif  // ENGINE_CLIENT_METHOD_RESULT_H_
