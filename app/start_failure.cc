#include "app/start_failure.h"

#include <windows.h>

#include "base/product.h"
#include "win32/display_language.h"
#include "win32/system_paths.h"

namespace veltrix {

StartFailure EngineStartFailure() {
  // As the engine looks for them, beside the program.
  static constexpr const wchar_t* kDataFiles[] = {L"data\\icudtl.dat", L"data\\flutter_assets",
                                                  L"data\\app.so"};
  const Win32Result<std::wstring> program = RunningModulePath();
  if (program) {
    const std::wstring folder = program->substr(0, program->find_last_of(L'\\') + 1);
    for (const wchar_t* file : kDataFiles) {
      if (::GetFileAttributesW((folder + file).c_str()) == INVALID_FILE_ATTRIBUTES) {
        return {StartFailure::Kind::kBrokenFile, file};
      }
    }
  }
  return {StartFailure::Kind::kEngine, {}};
}

std::wstring StartFailureMessage(const HostTexts& texts, const StartFailure& failure) {
  switch (failure.kind) {
    case StartFailure::Kind::kBrokenFile:
      return FillPlaceholder(texts.brokenFile, failure.file);
    case StartFailure::Kind::kWindow:
      return std::wstring(texts.windowFailed);
    case StartFailure::Kind::kEngine:
      return std::wstring(texts.engineFailed);
    case StartFailure::Kind::kView:
      return std::wstring(texts.viewFailed);
    case StartFailure::Kind::kNotResponding:
      break;
  }
  return std::wstring(texts.notResponding);
}

int ReportStartFailure(const StartFailure& failure) {
  const std::wstring message = StartFailureMessage(TextsFor(DisplayLanguage()), failure);
  ::MessageBoxW(nullptr, message.c_str(), kProductName, MB_OK | MB_ICONERROR | MB_SETFOREGROUND);
  return 1;
}

}  // namespace veltrix
