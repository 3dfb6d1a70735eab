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
  const auto couldNotStart = [](const std::wstring& because) {
    return VELTRIX_PRODUCT_NAME_W L" could not start because " + because +
           L" Please reinstall " VELTRIX_PRODUCT_NAME_W L".";
  };
  switch (failure.kind) {
    case StartFailure::Kind::kBrokenFile:
      return couldNotStart(L"the file \"" + failure.file + L"\" is missing or damaged.");
    case StartFailure::Kind::kWindow:
      return couldNotStart(L"its window could not be created.");
    case StartFailure::Kind::kEngine:
      return couldNotStart(L"its user interface could not be loaded.");
    case StartFailure::Kind::kView:
      return couldNotStart(L"its user interface could not be shown.");
    case StartFailure::Kind::kNotResponding:
      break;
  }
  return VELTRIX_PRODUCT_NAME_W L" is running but not responding. Wait a moment and try again, "
                                L"or end it in Task Manager.";
}

int ReportStartFailure(const StartFailure& failure) {
  ::MessageBoxW(nullptr, StartFailureMessage(failure).c_str(), kProductName,
                MB_OK | MB_ICONERROR | MB_SETFOREGROUND);
  return 1;
}

}  // namespace veltrix
