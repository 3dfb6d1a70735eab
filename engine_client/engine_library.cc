#include "engine_client/engine_library.h"

#include <windows.h>

#include <cstdlib>

#include "engine_client/engine_api.h"

namespace veltrix {
namespace {

// Every engine call of the host: its result, name, parameters and the
// arguments that pass them on.
#define VELTRIX_ENGINE_CALLS(X)                                                                    \
  X(FlutterDesktopEngineRef, FlutterDesktopEngineCreate,                                           \
    (const FlutterDesktopEngineProperties* properties), (properties))                              \
  X(bool, FlutterDesktopEngineDestroy, (FlutterDesktopEngineRef engine), (engine))                 \
  X(FlutterDesktopMessengerRef, FlutterDesktopEngineGetMessenger,                                  \
    (FlutterDesktopEngineRef engine), (engine))                                                    \
  X(FlutterDesktopPluginRegistrarRef, FlutterDesktopEngineGetPluginRegistrar,                      \
    (FlutterDesktopEngineRef engine, const char* name), (engine, name))                            \
  X(void, FlutterDesktopEngineReloadSystemFonts, (FlutterDesktopEngineRef engine), (engine))       \
  X(void, FlutterDesktopEngineSetNextFrameCallback,                                                \
    (FlutterDesktopEngineRef engine, FlutterDesktopNextFrameCallback callback, void* userData),    \
    (engine, callback, userData))                                                                  \
  X(FlutterDesktopViewControllerRef, FlutterDesktopViewControllerCreate,                           \
    (int width, int height, FlutterDesktopEngineRef engine), (width, height, engine))              \
  X(void, FlutterDesktopViewControllerDestroy, (FlutterDesktopViewControllerRef controller),       \
    (controller))                                                                                  \
  X(FlutterDesktopViewRef, FlutterDesktopViewControllerGetView,                                    \
    (FlutterDesktopViewControllerRef controller), (controller))                                    \
  X(void, FlutterDesktopViewControllerForceRedraw, (FlutterDesktopViewControllerRef controller),   \
    (controller))                                                                                  \
  X(bool, FlutterDesktopViewControllerHandleTopLevelWindowProc,                                    \
    (FlutterDesktopViewControllerRef controller, HWND window, UINT message, WPARAM wparam,         \
     LPARAM lparam, LRESULT * result),                                                             \
    (controller, window, message, wparam, lparam, result))                                         \
  X(HWND, FlutterDesktopViewGetHWND, (FlutterDesktopViewRef view), (view))                         \
  X(UINT, FlutterDesktopGetDpiForMonitor, (HMONITOR monitor), (monitor))                           \
  X(void, FlutterDesktopResyncOutputStreams, (void), ())                                           \
  X(bool, FlutterDesktopMessengerSend,                                                             \
    (FlutterDesktopMessengerRef messenger, const char* channel, const uint8_t* message,            \
     size_t messageSize),                                                                          \
    (messenger, channel, message, messageSize))                                                    \
  X(bool, FlutterDesktopMessengerSendWithReply,                                                    \
    (FlutterDesktopMessengerRef messenger, const char* channel, const uint8_t* message,            \
     size_t messageSize, FlutterDesktopBinaryReply reply, void* userData),                         \
    (messenger, channel, message, messageSize, reply, userData))                                   \
  X(void, FlutterDesktopMessengerSendResponse,                                                     \
    (FlutterDesktopMessengerRef messenger, const FlutterDesktopMessageResponseHandle* handle,      \
     const uint8_t* data, size_t dataSize),                                                        \
    (messenger, handle, data, dataSize))                                                           \
  X(void, FlutterDesktopMessengerSetCallback,                                                      \
    (FlutterDesktopMessengerRef messenger, const char* channel,                                    \
     FlutterDesktopMessageCallback callback, void* userData),                                      \
    (messenger, channel, callback, userData))                                                      \
  X(FlutterDesktopMessengerRef, FlutterDesktopMessengerAddRef,                                     \
    (FlutterDesktopMessengerRef messenger), (messenger))                                           \
  X(void, FlutterDesktopMessengerRelease, (FlutterDesktopMessengerRef messenger), (messenger))     \
  X(bool, FlutterDesktopMessengerIsAvailable, (FlutterDesktopMessengerRef messenger), (messenger)) \
  X(FlutterDesktopMessengerRef, FlutterDesktopMessengerLock,                                       \
    (FlutterDesktopMessengerRef messenger), (messenger))                                           \
  X(void, FlutterDesktopMessengerUnlock, (FlutterDesktopMessengerRef messenger), (messenger))

struct EngineCalls {
#define VELTRIX_ENGINE_SLOT(result, name, parameters, arguments) decltype(&::name) name = nullptr;
  VELTRIX_ENGINE_CALLS(VELTRIX_ENGINE_SLOT)
#undef VELTRIX_ENGINE_SLOT
};

EngineCalls engineCalls;

Expected<Done, BrokenLibrary> BindEngineCalls() {
#define VELTRIX_ENGINE_BIND(result, name, parameters, arguments)                           \
  {                                                                                        \
    Expected<void*, BrokenLibrary> found = FindBundledFunction(kEngineLibraryFile, #name); \
    if (!found) return found.error();                                                      \
    engineCalls.name = reinterpret_cast<decltype(&::name)>(*found);                        \
  }
  VELTRIX_ENGINE_CALLS(VELTRIX_ENGINE_BIND)
#undef VELTRIX_ENGINE_BIND
  return Done{};
}

// An engine call that finds no engine has nothing to answer with.
const EngineCalls& Engine() {
  static const bool bound = static_cast<bool>(LoadEngineLibrary());
  if (!bound) std::abort();
  return engineCalls;
}

}  // namespace

Expected<Done, BrokenLibrary> LoadEngineLibrary() {
  static const Expected<Done, BrokenLibrary> loaded = BindEngineCalls();
  return loaded;
}

}  // namespace veltrix

// The engine calls, as the rest of the host declares them.
extern "C" {
#define VELTRIX_ENGINE_FORWARD(result, name, parameters, arguments) \
  result name parameters { return veltrix::Engine().name arguments; }
VELTRIX_ENGINE_CALLS(VELTRIX_ENGINE_FORWARD)
#undef VELTRIX_ENGINE_FORWARD
}
