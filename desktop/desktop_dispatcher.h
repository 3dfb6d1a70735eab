#ifndef DESKTOP_DESKTOP_DISPATCHER_H_
#define DESKTOP_DESKTOP_DISPATCHER_H_

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

#include "desktop/desktop_bridge.h"
#include "desktop/desktop_operations.h"
#include "engine_client/encodable_value.h"
#include "engine_client/method_call.h"
#include "engine_client/method_result.h"

namespace veltrix {

// Largest update installer the user interface may hand over (512 MiB).
inline constexpr int64_t kMaxInstallerSize = 0x20000000;

// The native end of the "veltrix/desktop" channel. Answers `result` exactly
// once before returning; long operations answer it themselves, while
// `bridge.desktopBusy` keeps a re-entrant call from starting another one.
void HandleDesktopMethod(DesktopBridge& bridge, DesktopOperations& operations,
                         const flutter::MethodCall& call,
                         std::unique_ptr<flutter::MethodResult> result);

// Exactly 64 bytes of lower-case hexadecimal.
bool IsSha256Hex(std::string_view text);

// The string stored under the string key `key`, or null when the key is
// missing or its value is not a string. The pointer refers into `map` and
// lives as long as the entry does.
const std::string* FindStringValue(const flutter::EncodableValueMap& map, const std::string& key);

}  // namespace veltrix

#endif  // DESKTOP_DESKTOP_DISPATCHER_H_
