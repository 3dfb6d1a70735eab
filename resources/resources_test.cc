// Checks the resources as they ended up in the built executable, which this
// test finds beside itself in the bundle.
#include <windows.h>

#include <gtest/gtest.h>

#include <cstdint>
#include <set>
#include <string>
#include <vector>

#include "win32/unique_handle.h"

namespace veltrix {
namespace {

std::wstring ProgramPath() {
  wchar_t path[MAX_PATH] = {};
  ::GetModuleFileNameW(nullptr, path, MAX_PATH);
  std::wstring folder(path);
  return folder.substr(0, folder.find_last_of(L'\\')) + L"\\VELTRIX VPN.exe";
}

#pragma pack(push, 2)
struct IconGroupEntry {
  BYTE width;
  BYTE height;
  BYTE colorCount;
  BYTE reserved;
  WORD planes;
  WORD bitCount;
  DWORD bytesInResource;
  WORD id;
};
struct IconGroupHeader {
  WORD reserved;
  WORD type;
  WORD count;
  IconGroupEntry entries[1];
};
#pragma pack(pop)

TEST(ResourcesTest, IconGroupHasEverySizeIn32BitColour) {
  UniqueLibrary program(::LoadLibraryExW(ProgramPath().c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE));
  ASSERT_TRUE(program);
  HRSRC found = ::FindResourceW(program.Get(), MAKEINTRESOURCEW(101), RT_GROUP_ICON);
  ASSERT_NE(found, nullptr);
  const auto* group =
      static_cast<const IconGroupHeader*>(::LockResource(::LoadResource(program.Get(), found)));
  ASSERT_NE(group, nullptr);

  std::set<int> sizes;
  for (WORD i = 0; i < group->count; ++i) {
    const IconGroupEntry& entry = group->entries[i];
    EXPECT_EQ(entry.bitCount, 32) << i;
    EXPECT_EQ(entry.width, entry.height) << i;
    sizes.insert(entry.width == 0 ? 256 : entry.width);
  }
  EXPECT_EQ(sizes, (std::set<int>{16, 24, 32, 48, 64, 128, 256}));
}

TEST(ResourcesTest, ManifestAsksForPerMonitorDpiAndNoElevation) {
  UniqueLibrary program(::LoadLibraryExW(ProgramPath().c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE));
  ASSERT_TRUE(program);
  HRSRC found = ::FindResourceW(program.Get(), MAKEINTRESOURCEW(1), RT_MANIFEST);
  ASSERT_NE(found, nullptr);
  const auto* bytes =
      static_cast<const char*>(::LockResource(::LoadResource(program.Get(), found)));
  const std::string manifest(bytes, ::SizeofResource(program.Get(), found));
  EXPECT_NE(manifest.find("level=\"asInvoker\""), std::string::npos);
  EXPECT_NE(manifest.find(">PerMonitorV2<"), std::string::npos);
  EXPECT_NE(manifest.find("{8e0f7a12-bfb3-4fe8-b9a5-48fd50a15a9a}"), std::string::npos);
}

TEST(ResourcesTest, VersionBlockNamesTheProduct) {
  const std::wstring path = ProgramPath();
  const DWORD size = ::GetFileVersionInfoSizeW(path.c_str(), nullptr);
  ASSERT_GT(size, 0u);
  std::vector<uint8_t> block(size);
  ASSERT_TRUE(::GetFileVersionInfoW(path.c_str(), 0, size, block.data()));

  VS_FIXEDFILEINFO* fixed = nullptr;
  UINT length = 0;
  ASSERT_TRUE(::VerQueryValueW(block.data(), L"\\", reinterpret_cast<void**>(&fixed), &length));
  const std::wstring text = std::to_wstring(HIWORD(fixed->dwFileVersionMS)) + L"." +
                            std::to_wstring(LOWORD(fixed->dwFileVersionMS)) + L"." +
                            std::to_wstring(HIWORD(fixed->dwFileVersionLS)) + L"+" +
                            std::to_wstring(LOWORD(fixed->dwFileVersionLS));
  EXPECT_EQ(fixed->dwFileVersionMS, fixed->dwProductVersionMS);
  EXPECT_EQ(fixed->dwFileVersionLS, fixed->dwProductVersionLS);

  const struct {
    const wchar_t* name;
    std::wstring value;
  } fields[] = {
      {L"CompanyName", L"VELTRIX"},
      {L"FileDescription", L"VELTRIX VPN"},
      {L"ProductName", L"VELTRIX VPN"},
      {L"InternalName", L"veltrix_vpn"},
      {L"OriginalFilename", L"VELTRIX VPN.exe"},
      // The text fields carry the same version as the numbers.
      {L"FileVersion", text},
      {L"ProductVersion", text},
  };
  for (const auto& field : fields) {
    const std::wstring query = std::wstring(L"\\StringFileInfo\\040904b0\\") + field.name;
    wchar_t* value = nullptr;
    ASSERT_TRUE(
        ::VerQueryValueW(block.data(), query.c_str(), reinterpret_cast<void**>(&value), &length));
    EXPECT_EQ(std::wstring(value), field.value);
  }
}

}  // namespace
}  // namespace veltrix
