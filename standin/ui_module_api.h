// The C interface between the stand-in engine and the UI module it loads
// from the project's compiled-library path (data/app.so, a DLL under that
// name).
//
// The engine loads the module when the view controller is created, after the
// view window exists, and calls its exported
//
//   void VeltrixUiModuleStart(const VeltrixEngineServices* services);
//
// The services record stays valid until the module's optional
//
//   void VeltrixUiModuleStop(void);
//
// has returned; the engine calls it before it unloads the module and before
// the messenger stops (so the module may still send from Stop, but gets no
// replies any more). Replies that are still owed to the module when the
// engine ends are dropped without calling their callbacks.
//
// Threads: everything is called on the platform thread (the thread that
// created the engine and runs its window message loop), except `respond` and
// `recordTranscript`, which may be called from any thread. Messages and
// replies are always delivered later, from the message loop, never from
// inside the call that sent them.
#ifndef STANDIN_UI_MODULE_API_H_
#define STANDIN_UI_MODULE_API_H_

#include <stddef.h>
#include <stdint.h>

#ifndef __cplusplus
#include <stdbool.h>
#endif

#if defined(_WIN32)
#include <windows.h>
#define VELTRIX_UI_MODULE_EXPORT __declspec(dllexport)
#else
typedef struct HWND__* HWND;
typedef unsigned int UINT;
typedef uintptr_t WPARAM;
typedef intptr_t LPARAM;
typedef intptr_t LRESULT;
#define VELTRIX_UI_MODULE_EXPORT
#endif

#ifdef __cplusplus
extern "C" {
#endif

// Answers one message from the host, once.
typedef struct VeltrixUiResponse VeltrixUiResponse;

// The host's reply to a message the module sent; an empty reply (size 0)
// means nobody handled it or the method is not implemented.
typedef void (*VeltrixUiReplyCallback)(const uint8_t* reply, size_t replySize, void* user);

// A message from the host on `channel`. Answer it with `respond` (now or
// later, from any thread) when the host asked for a reply; answering a
// message sent without one is harmless.
typedef void (*VeltrixUiMessageHandler)(const char* channel, const uint8_t* message,
                                        size_t messageSize, const VeltrixUiResponse* response,
                                        void* user);

// Sees a window message first; returns true when it consumed it, with the
// message's result in *result.
typedef bool (*VeltrixUiWindowHook)(HWND window, UINT message, WPARAM wparam, LPARAM lparam,
                                    LRESULT* result, void* user);

typedef struct VeltrixEngineServices {
  size_t structSize;  // sizeof(VeltrixEngineServices) of the engine
  void* engine;       // passed back as the first argument of every service

  // The engine's entry-point arguments (the program's command line after
  // the program name), UTF-8.
  int argumentCount;
  const char* const* arguments;

  // The view's child window; the module paints into it (through the view
  // hook's WM_PAINT) and may create children of its own in it.
  HWND viewWindow;

  // Sends `message` to the host's handler of `channel`. With `reply`, the
  // reply arrives later through it with `user` (exactly once, an empty one
  // when the host has no handler). False when the engine is stopping.
  bool (*send)(void* engine, const char* channel, const uint8_t* message, size_t messageSize,
               VeltrixUiReplyCallback reply, void* user);
  // Installs the handler of `channel`, replacing any; a null handler removes it.
  void (*setMessageHandler)(void* engine, const char* channel, VeltrixUiMessageHandler handler,
                            void* user);
  // Answers a message from the host; the response is used once.
  void (*respond)(void* engine, const VeltrixUiResponse* response, const uint8_t* reply,
                  size_t replySize);
  // Produces a frame soon: the view repaints, then the host's pending
  // next-frame callback runs.
  void (*requestFrame)(void* engine);
  // Appends one line (UTF-8, no newline) to the transcript named by the
  // environment variable VELTRIX_UI_TRANSCRIPT; nothing when it is unset.
  void (*recordTranscript)(void* engine, const char* line);
  // Messages of the host's top-level window, offered to the module when the
  // host passes them on to the engine. A null hook removes it.
  void (*setTopLevelWindowHook)(void* engine, VeltrixUiWindowHook hook, void* user);
  // Messages of the view window; without a hook (or when it declines) the
  // view paints a plain background.
  void (*setViewWindowHook)(void* engine, VeltrixUiWindowHook hook, void* user);
} VeltrixEngineServices;

typedef void (*VeltrixUiModuleStartFunction)(const VeltrixEngineServices* services);
typedef void (*VeltrixUiModuleStopFunction)(void);

#define VELTRIX_UI_MODULE_START_NAME "VeltrixUiModuleStart"
#define VELTRIX_UI_MODULE_STOP_NAME "VeltrixUiModuleStop"

#ifdef __cplusplus
}  // extern "C"
#endif

#endif  // STANDIN_UI_MODULE_API_H_
