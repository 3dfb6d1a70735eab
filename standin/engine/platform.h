#ifndef STANDIN_ENGINE_PLATFORM_H_
#define STANDIN_ENGINE_PLATFORM_H_

#include <memory>
#include <string>

#include "engine_client/engine_api.h"
#include "standin/ui_module_api.h"

namespace veltrix::standin {

class Engine;
class MessengerCore;

// What the engine needs from the system: the window that pumps its queue,
// the view window and the UI module. platform_win32.cc serves it with
// windows; platform_headless.cc without (the queue is then run by hand).
class Platform {
 public:
  // Made on the platform thread; installs the messenger's wake-up.
  static std::unique_ptr<Platform> Create(Engine* engine, MessengerCore* messenger);
  virtual ~Platform() = default;

  virtual bool CreateView(int width, int height) = 0;
  virtual HWND ViewWindow() const = 0;
  // Repaints the view now.
  virtual void PaintView() = 0;
  // A missing or unloadable module is no error: the view stays empty.
  virtual void LoadUiModule(const std::wstring& path, const VeltrixEngineServices* services) = 0;
  // Calls the module's stop and unloads it.
  virtual void UnloadUiModule() = 0;
};

// The first data file the engine is given (assets, ICU data, the UI module)
// that is not there; empty when all are, and for paths not given. A real
// engine does not start without them.
std::wstring MissingDataFile(const FlutterDesktopEngineProperties& properties);
// True when the environment variable holds "1".
bool EnvironmentFlag(const char* name);
// Appends `line` and a newline to the file named by VELTRIX_UI_TRANSCRIPT.
void AppendTranscriptLine(const std::string& line);
UINT DpiForMonitor(HMONITOR monitor);

}  // namespace veltrix::standin

#endif  // STANDIN_ENGINE_PLATFORM_H_
