#include "win32/dll_search.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <string>

#include "win32/system_paths.h"
#include "win32/unique_handle.h"

namespace veltrix {
namespace {

// A DLL of a known name dropped in the current folder, the classic planting
// attack on a program that loads by name.
TEST(DllSearchTest, APlantedDllInTheCurrentFolderIsNotLoaded) {
  const std::wstring folder = *TemporaryFolderPath() + L"veltrix-dll-search";
  ::CreateDirectoryW(folder.c_str(), nullptr);
  ASSERT_TRUE(::CopyFileW(RunningModulePath()->c_str(), (folder + L"\\veltrix_planted.dll").c_str(),
                          FALSE) &&
              ::SetCurrentDirectoryW(folder.c_str()));
  if (!UniqueLibrary(::LoadLibraryW(L"veltrix_planted.dll"))) {
    GTEST_SKIP() << "this system never searches the current folder";
  }
  ASSERT_TRUE(RestrictDllSearch());
  EXPECT_FALSE(UniqueLibrary(::LoadLibraryW(L"veltrix_planted.dll")));
  // System DLLs still load by name.
  EXPECT_TRUE(UniqueLibrary(::LoadLibraryW(L"version.dll")));
}

}  // namespace
}  // namespace veltrix
