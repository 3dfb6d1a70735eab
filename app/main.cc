// Process entry of VELTRIX VPN.exe: the engine project, the host window and
// the message loop that everything else runs inside.
#include <windows.h>

#include <objbase.h>

#include "app/command_line.h"
#include "app/console.h"
#include "app/single_instance.h"
#include "app/start_failure.h"
#include "base/product.h"
#include "base/scope_exit.h"
#include "engine_client/engine_library.h"
#include "engine_client/engine_project.h"
#include "win32/dll_search.h"
#include "window/engine_plugins.h"
#include "window/flutter_window.h"
#include "window/host_settings.h"
#include "window/window_decisions.h"

namespace {

veltrix::StartFailure FailureOf(const veltrix::FlutterWindow& window) {
  using Fault = veltrix::FlutterWindow::StartFault;
  switch (window.startFault()) {
    case Fault::kEngine:
      return veltrix::EngineStartFailure();
    case Fault::kView:
      return {veltrix::StartFailure::Kind::kView, {}};
    case Fault::kNone:
      break;
  }
  return {veltrix::StartFailure::Kind::kWindow, {}};
}

// Runs from window creation to the end of the message loop; the window (and
// with it the engine and the plug-ins) and the project are torn down on the
// way out.
int RunHost() {
  // Every argument, "--autostart" included, goes to the engine; the host
  // window reads it back from the project.
  std::vector<std::string> arguments = veltrix::CommandLineArgumentsUtf8();
  // One copy per session: a later start hands over before any engine loads.
  veltrix::SessionInstance instance;
  if (!instance.first()) {
    // Unless the running copy has ended meanwhile and this one takes over.
    if (const auto code = instance.HandOver(veltrix::IsLoginStart(arguments))) return *code;
  }

  flutter::EngineProject project(L"data");
  project.SetEntryPointArguments(std::move(arguments));
  veltrix::FlutterWindow window(project);
  // Hidden until the first frame (or, at login, until opened from the tray).
  if (!window.Create(veltrix::kProductName, {10, 10}, {1280, 720},
                     veltrix::LoadWindowPlacement())) {
    const veltrix::StartFailure failure = FailureOf(window);
    window.Destroy();
    return veltrix::ReportStartFailure(failure);
  }
  instance.Publish(window.WindowHandle());
  veltrix::EndWithConsole(window.WindowHandle());
  veltrix::RegisterRestartWithThisStart();

  MSG message;
  // GetMessageW gives -1 on failure; only a positive result is a message.
  // The window's end ends the loop.
  while (::GetMessageW(&message, nullptr, 0, 0) > 0) {
    ::TranslateMessage(&message);
    ::DispatchMessageW(&message);
  }
  veltrix::EndWithConsole(nullptr);
  return 0;
}

}  // namespace

int APIENTRY wWinMain(HINSTANCE, HINSTANCE, wchar_t*, int) {
  // Before anything is loaded at run time. Should Windows refuse, the
  // program still runs, as it did on systems without the call.
  static_cast<void>(veltrix::RestrictDllSearch());
  // Bound before anything calls them: a missing library is the user's to
  // hear about, not the loader's. The plug-ins need the engine, so they are
  // tried only once it has loaded.
  for (const auto load : {&veltrix::LoadEngineLibrary, &veltrix::LoadEnginePlugins}) {
    if (const auto loaded = load(); !loaded) {
      return veltrix::ReportStartFailure(
          {veltrix::StartFailure::Kind::kBrokenFile, loaded.error().file});
    }
  }
  veltrix::AttachConsoleForOutput();
  // The engine, the plug-ins and the Save As dialog expect an STA thread;
  // the apartment ends after all of them, on every way out.
  const HRESULT apartment = ::CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
  const veltrix::ScopeExit endApartment([apartment] {
    if (SUCCEEDED(apartment)) ::CoUninitialize();
  });
  return RunHost();
}
