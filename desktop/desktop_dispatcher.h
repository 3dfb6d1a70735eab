#ifndef DESKTOP_DESKTOP_DISPATCHER_H_
#define DESKTOP_DESKTOP_DISPATCHER_H_

#include <memory>

#include "desktop/desktop_operations.h"
#include "desktop/desktop_state.h"
#include "engine_client/method_call.h"
#include "engine_client/method_result.h"
#include "lifecycle/host_lifecycle.h"

namespace veltrix {

// The channel between the user interface and the host.
inline constexpr char kDesktopChannelName[] = "veltrix/desktop";

// The native end of the desktop channel. Answers `result` exactly once
// before returning. A long operation's span and the user interface's "quit"
// go to the host's lifecycle, which keeps a re-entrant call from starting
// another operation while one runs its modal loop.
void HandleDesktopMethod(DesktopState& state, LifecycleDriver& host, DesktopOperations& operations,
                         const flutter::MethodCall& call,
                         std::unique_ptr<flutter::MethodResult> result);

}  // namespace veltrix

#endif  // DESKTOP_DESKTOP_DISPATCHER_H_
