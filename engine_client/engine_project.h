#ifndef ENGINE_CLIENT_ENGINE_PROJECT_H_
#define ENGINE_CLIENT_ENGINE_PROJECT_H_

#include <cstdint>
#include <string>
#include <vector>

namespace flutter {

// Where the engine finds the compiled user interface, and what it is started
// with. The paths stay relative; the engine resolves them.
class EngineProject {
 public:
  // `baseFolder` is the bundle's data folder, e.g. L"data".
  explicit EngineProject(const std::wstring& baseFolder)
      : assetsPath_(baseFolder + L"\\flutter_assets"),
        icuDataPath_(baseFolder + L"\\icudtl.dat"),
        aotLibraryPath_(baseFolder + L"\\app.so") {}

  void SetEntryPointArguments(std::vector<std::string> arguments) {
    entryPointArguments_ = std::move(arguments);
  }

  const std::wstring& assetsPath() const { return assetsPath_; }
  const std::wstring& icuDataPath() const { return icuDataPath_; }
  const std::wstring& aotLibraryPath() const { return aotLibraryPath_; }
  const std::string& entryPoint() const { return entryPoint_; }
  const std::vector<std::string>& entryPointArguments() const { return entryPointArguments_; }
  // The engine's option words; this program leaves them zero.
  int32_t gpuPreference() const { return gpuPreference_; }
  int32_t uiThreadPolicy() const { return uiThreadPolicy_; }

 private:
  std::wstring assetsPath_;
  std::wstring icuDataPath_;
  std::wstring aotLibraryPath_;
  std::string entryPoint_;
  std::vector<std::string> entryPointArguments_;
  int32_t gpuPreference_ = 0;
  int32_t uiThreadPolicy_ = 0;
};

}  // namespace flutter

#endif  // ENGINE_CLIENT_ENGINE_PROJECT_H_
