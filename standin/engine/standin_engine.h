// What the stand-in engine offers beyond the engine's own interface: for the
// stand-in plug-ins, and for tests that play the user interface's side.
#ifndef STANDIN_ENGINE_STANDIN_ENGINE_H_
#define STANDIN_ENGINE_STANDIN_ENGINE_H_

#include <stddef.h>

#include "engine_client/engine_api.h"
#include "standin/ui_module_api.h"

#ifdef __cplusplus
extern "C" {
#endif

// The services the engine gives its UI module; a test uses them to stand
// where the module would. Null for a null engine.
FLUTTER_EXPORT const VeltrixEngineServices* VeltrixStandinEngineServices(
    FlutterDesktopEngineRef engine);

// A plug-in records that it registered with `registrar` (transcript line
// "plugin <name>").
FLUTTER_EXPORT void VeltrixStandinRecordPluginRegistration(
    FlutterDesktopPluginRegistrarRef registrar, const char* pluginName);

// Appends one line to the transcript, when VELTRIX_UI_TRANSCRIPT is set.
FLUTTER_EXPORT void VeltrixStandinRecordTranscript(const char* line);

// Engines created and not yet destroyed.
FLUTTER_EXPORT int VeltrixStandinLiveEngineCount(void);

// Misuses of the engine's interface reported so far ("fault ..." lines of
// the transcript); a test checks that its code caused none.
FLUTTER_EXPORT size_t VeltrixStandinFaultCount(void);

// Runs every message, reply and frame that is waiting, of all engines, on
// the calling thread; the number of items run. On Windows the engine's own
// window does this from the message loop; without Windows nothing else does.
FLUTTER_EXPORT size_t VeltrixStandinRunPendingWork(void);

#ifdef __cplusplus
}  // extern "C"
#endif

#endif  // STANDIN_ENGINE_STANDIN_ENGINE_H_
