// Without Windows: no windows and no UI module; the queue is run by whoever
// plays the platform thread (VeltrixStandinRunPendingWork).
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <mutex>

#include "standin/engine/messenger_core.h"
#include "standin/engine/platform.h"

namespace veltrix::standin {
namespace {

class HeadlessPlatform : public Platform {
 public:
  bool CreateView(int, int) override { return true; }
  HWND ViewWindow() const override { return nullptr; }
  void PaintView() override {}
  void LoadUiModule(const std::wstring&, const VeltrixEngineServices*) override {}
  void UnloadUiModule() override {}
};

std::mutex transcriptMutex;

}  // namespace

std::unique_ptr<Platform> Platform::Create(Engine*, MessengerCore*) {
  return std::make_unique<HeadlessPlatform>();
}

// Without Windows there are no files to run.
std::wstring MissingDataFile(const FlutterDesktopEngineProperties&) { return {}; }

bool EnvironmentFlag(const char* name) {
  const char* value = std::getenv(name);
  return value != nullptr && std::strcmp(value, "1") == 0;
}

void AppendTranscriptLine(const std::string& line) {
  std::lock_guard<std::mutex> lock(transcriptMutex);
  const char* path = std::getenv("VELTRIX_UI_TRANSCRIPT");
  if (path == nullptr || *path == '\0') return;
  std::FILE* file = std::fopen(path, "ab");
  if (file == nullptr) return;
  std::fwrite(line.data(), 1, line.size(), file);
  std::fputc('\n', file);
  std::fclose(file);
}

UINT DpiForMonitor(HMONITOR) { return 96; }

}  // namespace veltrix::standin
