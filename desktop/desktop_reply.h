#ifndef DESKTOP_DESKTOP_REPLY_H_
#define DESKTOP_DESKTOP_REPLY_H_

#include <cstdint>
#include <string>

#include "engine_client/method_result.h"

namespace veltrix {

// The two ways of answering a desktop call with an error.

// No details: they go on the wire as null.
void ReplyError(flutter::MethodResult& result, const std::string& code, const std::string& message);

// Details: the Windows code taken as unsigned and widened to a 64-bit
// integer, so a code with the top bit set still arrives positive.
void ReplyWin32Error(flutter::MethodResult& result, const std::string& code,
                     const std::string& message, uint32_t win32Error);

}  // namespace veltrix

#endif  // DESKTOP_DESKTOP_REPLY_H_
