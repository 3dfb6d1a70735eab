// The stand-in user interface module (data/app.so): a demo screen for
// people, or, when VELTRIX_UI_SCENARIO names a scenario file, the player of
// an end-to-end scenario.
#include <windows.h>

#include <string>

#include "standin/environment.h"
#include "standin/ui/demo_screen.h"
#include "standin/ui/engine_link.h"
#include "standin/ui/scenario_player.h"
#include "standin/ui/scenario_script.h"
#include "standin/ui_module_api.h"
#include "win32/unique_handle.h"

namespace veltrix {
namespace {

// Made once and never freed: the engine can stop the module from deep
// inside one of its own calls (a scenario step that ends the host), and
// those frames must still find their objects when they return.
EngineLink* link = nullptr;
ScenarioPlayer* player = nullptr;
DemoScreen* demo = nullptr;

Scenario LoadScenario(const std::wstring& path) {
  UniqueKernelHandle file(::CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                                        OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
  std::string text;
  bool ok = static_cast<bool>(file);
  while (ok) {
    char buffer[4096];
    DWORD read = 0;
    ok = ::ReadFile(file.Get(), buffer, sizeof(buffer), &read, nullptr) != FALSE;
    if (read == 0) break;
    text.append(buffer, read);
  }
  if (!ok) {
    Scenario unreadable;
    unreadable.error = "cannot read the scenario file";
    return unreadable;
  }
  return ParseScenario(text);
}

// The engine unloads the module when it ends, possibly with module code
// still on the stack; keeping the module loaded until the process ends
// makes that harmless.
void PinModule() {
  HMODULE module = nullptr;
  ::GetModuleHandleExW(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS | GET_MODULE_HANDLE_EX_FLAG_PIN,
                       reinterpret_cast<LPCWSTR>(&PinModule), &module);
}

}  // namespace
}  // namespace veltrix

extern "C" VELTRIX_UI_MODULE_EXPORT void VeltrixUiModuleStart(
    const VeltrixEngineServices* services) {
  using namespace veltrix;
  if (services == nullptr || services->structSize < sizeof(VeltrixEngineServices) ||
      link != nullptr) {
    return;
  }
  PinModule();
  link = new EngineLink(services);
  std::wstring scenario = standin::EnvironmentValue(L"VELTRIX_UI_SCENARIO");
  if (!scenario.empty()) {
    player = new ScenarioPlayer(*link, LoadScenario(scenario));
    player->Start();
  } else {
    demo = new DemoScreen(*link);
    demo->Start();
  }
}

extern "C" VELTRIX_UI_MODULE_EXPORT void VeltrixUiModuleStop(void) {
  using namespace veltrix;
  if (player != nullptr) player->Stop();
  if (demo != nullptr) demo->Stop();
  if (link != nullptr) link->Detach();
}
