#ifndef ENGINE_CLIENT_METHOD_CALL_H_
#define ENGINE_CLIENT_METHOD_CALL_H_

#include <memory>
#include <string>

#include "engine_client/encodable_value.h"

namespace flutter {

// A method name with its owned arguments, which may be absent.
class MethodCall {
 public:
  MethodCall(const std::string& method_name, std::unique_ptr<EncodableValue> arguments)
      : methodName_(method_name), arguments_(std::move(arguments)) {}
  virtual ~MethodCall() = default;

  MethodCall(const MethodCall&) = delete;
  MethodCall& operator=(const MethodCall&) = delete;

  const std::string& method_name() const { return methodName_; }
  const EncodableValue* arguments() const { return arguments_.get(); }

 private:
  std::string methodName_;
  std::unique_ptr<EncodableValue> arguments_;
};

}  // namespace flutter

#endif  // ENGINE_CLIENT_METHOD_CALL_H_
