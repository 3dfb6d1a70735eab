#ifndef DESKTOP_DESKTOP_REPLIES_H_
#define DESKTOP_DESKTOP_REPLIES_H_

#include "desktop/desktop_outcome.h"
#include "engine_client/method_result.h"

namespace veltrix {

// Answers a desktop call with the reply of `result`: a success (with the
// saved path for a saved report), or an error with its code, its message and,
// for errors that come from Windows, the error code as details.
void Reply(flutter::MethodResult& reply, const OperationResult& result);

}  // namespace veltrix

#endif  // DESKTOP_DESKTOP_REPLIES_H_
