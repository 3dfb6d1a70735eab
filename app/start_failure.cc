#include "app/start_failure.h"

#include <windows.h>

#include "base/product.h"
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

std::wstring StartFailureMessage(const StartFailure& failure) {
  std::wstring text = VELTRIX_PRODUCT_NAME_W L" could not start because ";
  switch (failure.kind) {
    case StartFailure::Kind::kBrokenFile:
      text += L"the file \"" + failure.file + L"\" is missing or damaged.";
      break;
    case StartFailure::Kind::kWindow:
      text += L"its window could not be created.";
      break;
    case StartFailure::Kind::kEngine:
      text += L"its user interface could not be loaded.";
      break;
    case StartFailure::Kind::kView:
      text += L"its user interface could not be shown.";
      break;
  }
  return text + L" Please reinstall " VELTRIX_PRODUCT_NAME_W L".";
}

int ReportStartFailure(const StartFailure& failure) {
  ::MessageBoxW(nullptr, StartFailureMessage(failure).c_str(), kProductName,
                MB_OK | MB_ICONERROR | MB_SETFOREGROUND);
  return 1;
}

}  // namespace veltrix
