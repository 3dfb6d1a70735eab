#include "desktop/desktop_reply.h"

namespace veltrix {

void ReplyError(flutter::MethodResult& result, const std::string& code,
                const std::string& message) {
  result.Error(code, message);
}

void ReplyWin32Error(flutter::MethodResult& result, const std::string& code,
                     const std::string& message, uint32_t win32Error) {
  result.Error(code, message, flutter::EncodableValue(static_cast<int64_t>(win32Error)));
}

}  // namespace veltrix
