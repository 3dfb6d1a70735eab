// The C interface of the engine library (flutter_windows.dll), as the host
// calls it. Records and callbacks follow the engine's 64-bit Windows ABI.
#ifndef ENGINE_CLIENT_ENGINE_API_H_
#define ENGINE_CLIENT_ENGINE_API_H_

#include <stddef.h>
#include <stdint.h>

#ifndef __cplusplus
#include <stdbool.h>
#include <wchar.h>
#endif

#if defined(_WIN32)
#include <windows.h>
// The host binds these at run time (engine_library.cc) rather than importing
// them, so that a missing engine gets the program's own message.
#if defined(FLUTTER_DESKTOP_ENGINE_BUILD)
#define FLUTTER_EXPORT __declspec(dllexport)
#else
#define FLUTTER_EXPORT
#endif
#else
// Without Windows the same calls are served by the portable engine core, so
// the window types only need to exist.
typedef struct HWND__* HWND;
typedef struct HMONITOR__* HMONITOR;
typedef unsigned int UINT;
typedef uintptr_t WPARAM;
typedef intptr_t LPARAM;
typedef intptr_t LRESULT;
#define FLUTTER_EXPORT
#endif

#ifdef __cplusplus
extern "C" {
#endif

typedef struct FlutterDesktopEngine* FlutterDesktopEngineRef;
typedef struct FlutterDesktopViewController* FlutterDesktopViewControllerRef;
typedef struct FlutterDesktopView* FlutterDesktopViewRef;
typedef struct FlutterDesktopMessenger* FlutterDesktopMessengerRef;
typedef struct FlutterDesktopPluginRegistrar* FlutterDesktopPluginRegistrarRef;
typedef struct FlutterDesktopMessageResponseHandle FlutterDesktopMessageResponseHandle;

// What the engine is started with. The option words are enum-sized and are
// always zero here.
typedef struct {
  const wchar_t* assetsPath;
  const wchar_t* icuDataPath;
  const wchar_t* aotLibraryPath;
  const char* entryPoint;
  int entryPointArgumentCount;
  const char** entryPointArguments;
  int32_t gpuPreference;
  int32_t uiThreadPolicy;
} FlutterDesktopEngineProperties;

// One incoming message; the response handle answers it once.
typedef struct {
  size_t structSize;
  const char* channel;
  const uint8_t* message;
  size_t messageSize;
  const FlutterDesktopMessageResponseHandle* responseHandle;
} FlutterDesktopMessage;

typedef void (*FlutterDesktopBinaryReply)(const uint8_t* data, size_t dataSize, void* userData);
typedef void (*FlutterDesktopMessageCallback)(FlutterDesktopMessengerRef messenger,
                                              const FlutterDesktopMessage* message, void* userData);
typedef void (*FlutterDesktopNextFrameCallback)(void* userData);

FLUTTER_EXPORT FlutterDesktopEngineRef
FlutterDesktopEngineCreate(const FlutterDesktopEngineProperties* properties);
FLUTTER_EXPORT bool FlutterDesktopEngineDestroy(FlutterDesktopEngineRef engine);
FLUTTER_EXPORT FlutterDesktopMessengerRef
FlutterDesktopEngineGetMessenger(FlutterDesktopEngineRef engine);
FLUTTER_EXPORT FlutterDesktopPluginRegistrarRef
FlutterDesktopEngineGetPluginRegistrar(FlutterDesktopEngineRef engine, const char* pluginName);
FLUTTER_EXPORT void FlutterDesktopEngineReloadSystemFonts(FlutterDesktopEngineRef engine);
FLUTTER_EXPORT void FlutterDesktopEngineSetNextFrameCallback(
    FlutterDesktopEngineRef engine, FlutterDesktopNextFrameCallback callback, void* userData);

FLUTTER_EXPORT FlutterDesktopViewControllerRef
FlutterDesktopViewControllerCreate(int width, int height, FlutterDesktopEngineRef engine);
FLUTTER_EXPORT void FlutterDesktopViewControllerDestroy(FlutterDesktopViewControllerRef controller);
FLUTTER_EXPORT FlutterDesktopViewRef
FlutterDesktopViewControllerGetView(FlutterDesktopViewControllerRef controller);
FLUTTER_EXPORT void FlutterDesktopViewControllerForceRedraw(
    FlutterDesktopViewControllerRef controller);
FLUTTER_EXPORT bool FlutterDesktopViewControllerHandleTopLevelWindowProc(
    FlutterDesktopViewControllerRef controller, HWND window, UINT message, WPARAM wparam,
    LPARAM lparam, LRESULT* result);
FLUTTER_EXPORT HWND FlutterDesktopViewGetHWND(FlutterDesktopViewRef view);

FLUTTER_EXPORT UINT FlutterDesktopGetDpiForMonitor(HMONITOR monitor);
FLUTTER_EXPORT void FlutterDesktopResyncOutputStreams(void);

FLUTTER_EXPORT bool FlutterDesktopMessengerSend(FlutterDesktopMessengerRef messenger,
                                                const char* channel, const uint8_t* message,
                                                size_t messageSize);
FLUTTER_EXPORT bool FlutterDesktopMessengerSendWithReply(FlutterDesktopMessengerRef messenger,
                                                         const char* channel,
                                                         const uint8_t* message, size_t messageSize,
                                                         FlutterDesktopBinaryReply reply,
                                                         void* userData);
FLUTTER_EXPORT void FlutterDesktopMessengerSendResponse(
    FlutterDesktopMessengerRef messenger, const FlutterDesktopMessageResponseHandle* handle,
    const uint8_t* data, size_t dataSize);
FLUTTER_EXPORT void FlutterDesktopMessengerSetCallback(FlutterDesktopMessengerRef messenger,
                                                       const char* channel,
                                                       FlutterDesktopMessageCallback callback,
                                                       void* userData);
FLUTTER_EXPORT FlutterDesktopMessengerRef
FlutterDesktopMessengerAddRef(FlutterDesktopMessengerRef messenger);
FLUTTER_EXPORT void FlutterDesktopMessengerRelease(FlutterDesktopMessengerRef messenger);
FLUTTER_EXPORT bool FlutterDesktopMessengerIsAvailable(FlutterDesktopMessengerRef messenger);
FLUTTER_EXPORT FlutterDesktopMessengerRef
FlutterDesktopMessengerLock(FlutterDesktopMessengerRef messenger);
FLUTTER_EXPORT void FlutterDesktopMessengerUnlock(FlutterDesktopMessengerRef messenger);

#ifdef __cplusplus
}  // extern "C"

// The engine reads these records by offset; a mismatch would not show until
// run time, so pin them for 64-bit targets.
#if INTPTR_MAX == INT64_MAX
static_assert(sizeof(FlutterDesktopEngineProperties) == 56);
static_assert(offsetof(FlutterDesktopEngineProperties, assetsPath) == 0);
static_assert(offsetof(FlutterDesktopEngineProperties, icuDataPath) == 8);
static_assert(offsetof(FlutterDesktopEngineProperties, aotLibraryPath) == 16);
static_assert(offsetof(FlutterDesktopEngineProperties, entryPoint) == 24);
static_assert(offsetof(FlutterDesktopEngineProperties, entryPointArgumentCount) == 32);
static_assert(offsetof(FlutterDesktopEngineProperties, entryPointArguments) == 40);
static_assert(offsetof(FlutterDesktopEngineProperties, gpuPreference) == 48);
static_assert(offsetof(FlutterDesktopEngineProperties, uiThreadPolicy) == 52);

static_assert(sizeof(FlutterDesktopMessage) == 40);
static_assert(offsetof(FlutterDesktopMessage, structSize) == 0);
static_assert(offsetof(FlutterDesktopMessage, channel) == 8);
static_assert(offsetof(FlutterDesktopMessage, message) == 16);
static_assert(offsetof(FlutterDesktopMessage, messageSize) == 24);
static_assert(offsetof(FlutterDesktopMessage, responseHandle) == 32);
#endif
#endif  // __cplusplus

#endif  // ENGINE_CLIENT_ENGINE_API_H_
