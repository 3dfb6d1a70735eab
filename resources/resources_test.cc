// Checks the resources as they ended up in the built executable, which this
// test finds beside itself in the bundle.
#include <windows.h>

#include <gtest/gtest.h>

#include <cstdint>
#include <set>
#include <string>

#include "resources/resource_ids.h"
#include "win32/unique_handle.h"

namespace veltrix {
namespace {

std::wstring ProgramPath() {
  wchar_t path[MAX_PATH] = {};
  ::GetModuleFileNameW(nullptr, path, MAX_PATH);
  std::wstring folder(path);
  return folder.substr(0, folder.find_last_of(L'\\')) + L"\\VELTRIX VPN.exe";
}

// The bytes of one resource of the program; empty when it is missing.
std::string ProgramResource(int id, const wchar_t* type) {
  UniqueLibrary program(::LoadLibraryExW(ProgramPath().c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE));
  HRSRC found = program ? ::FindResourceW(program.Get(), MAKEINTRESOURCEW(id), type) : nullptr;
  if (found == nullptr) return {};
  const auto* bytes =
      static_cast<const char*>(::LockResource(::LoadResource(program.Get(), found)));
  return std::string(bytes, ::SizeofResource(program.Get(), found));
}

TEST(ResourcesTest, IconGroupsHaveEverySizeIn32BitColour) {
  // The tray's state icons come at the small-icon sizes only.
  for (int id : {VELTRIX_APP_ICON, VELTRIX_TRAY_ICON_AMBER, VELTRIX_TRAY_ICON_GREEN,
                 VELTRIX_TRAY_ICON_RED}) {
    // A 6-byte header with the count at 4, then 14-byte entries: width,
    // height, and the bit count at 6.
    const std::string group = ProgramResource(id, RT_GROUP_ICON);
    const auto byte = [&](size_t at) { return static_cast<uint8_t>(group[at]); };
    ASSERT_GE(group.size(), 6u) << id;
    ASSERT_EQ(group.size(), 6u + 14u * (byte(4) | byte(5) << 8)) << id;
    std::set<int> sizes;
    for (size_t at = 6; at < group.size(); at += 14) {
      EXPECT_EQ(byte(at + 6) | byte(at + 7) << 8, 32) << id << " " << at;
      EXPECT_EQ(byte(at), byte(at + 1)) << id << " " << at;
      sizes.insert(byte(at) == 0 ? 256 : byte(at));
    }
    EXPECT_EQ(sizes,
              (id == VELTRIX_APP_ICON ? std::set<int>{16, 20, 24, 30, 32, 36, 40, 48, 64, 128, 256}
                                      : std::set<int>{16, 20, 24, 30, 32, 40}))
        << id;
  }
}

TEST(ResourcesTest, ManifestAsksForPerMonitorDpiAndNoElevation) {
  const std::string manifest = ProgramResource(1, RT_MANIFEST);
  for (const char* part :
       {"level=\"asInvoker\"", ">PerMonitorV2<", "{8e0f7a12-bfb3-4fe8-b9a5-48fd50a15a9a}",
        ">true</longPathAware>", "\"Microsoft.Windows.Common-Controls\" version=\"6.0.0.0\""}) {
    EXPECT_NE(manifest.find(part), std::string::npos) << part;
  }
}

}  // namespace
}  // namespace veltrix
