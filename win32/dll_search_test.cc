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
  const Win32Result<std::wstring> temp = TemporaryFolderPath();
  const Win32Result<std::wstring> self = RunningModulePath();
  ASSERT_TRUE(temp && self);
  const std::wstring folder = *temp + L"veltrix-dll-search";
  ::CreateDirectoryW(folder.c_str(), nullptr);
  const std::wstring planted = folder + L"\\veltrix_planted.dll";
  ASSERT_TRUE(::CopyFileW(self->c_str(), planted.c_str(), FALSE));
  ASSERT_TRUE(::SetCurrentDirectoryW(folder.c_str()));

  UniqueLibrary before(::LoadLibraryW(L"veltrix_planted.dll"));
  if (!before) GTEST_SKIP() << "this system never searches the current folder";
  before.Reset();
  ASSERT_TRUE(RestrictDllSearch());
  EXPECT_FALSE(UniqueLibrary(::LoadLibraryW(L"veltrix_planted.dll")));
  // System DLLs still load by name.
  EXPECT_TRUE(UniqueLibrary(::LoadLibraryW(L"version.dll")));
}

}  // namespace
}  // namespace veltrix
