#include "file_safety/file_identity.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "file_safety/path_checks.h"
#include "file_safety/pinned_open.h"
#include "file_safety/testing/file_test_support.h"

namespace veltrix {
namespace {

using test::ScratchFolder;
using test::WriteBytes;

TEST(PathChecksTest, SafeLocalPathsAreDriveLetterPathsOfPlainComponents) {
  using Paths = std::vector<std::wstring>;
  const std::wstring longest = L"C:\\" + std::wstring(32763, L'a');  // 32766 units
  for (const std::wstring& path :
       Paths{L"C:\\a", L"z:\\a\\.b", L"C:\\Benutzer\\J\u00fcrgen\\\u65e5\u672c.exe", longest,
             L"C:\\a\\COM10", L"C:\\a\\COMx", L"C:\\a\\console.txt", L"C:\\nul-x\\auxiliary"}) {
    EXPECT_TRUE(IsSafeLocalPath(path)) << test::Utf8(path.substr(0, 40));
  }
  for (const std::wstring& path :
       Paths{longest + L"a", L"C:\\", L"C:a\\b", L"1:\\a", L"\u00c4:\\a", L"\\\\server\\share\\a",
             L"\\\\?\\C:\\a", L"\\a\\b", L"C:\\a/b", L"C:\\a\\", L"C:\\a\\\\b", L"C:\\a\\.\\b",
             L"C:\\a\\..", L"C:\\a.\\b", L"C:\\a\\b ", L"C:\\a:stream", L"C:\\a*b", L"C:\\a?b",
             L"C:\\a|b", L"C:\\a<b", L"C:\\a>b", L"C:\\a\"b", L"C:\\a\x1f",
             std::wstring(L"C:\\a\0b", 6),
             // Devices, whatever follows the first dot and in any letter case.
             L"C:\\a\\NUL", L"C:\\a\\COM1.txt", L"C:\\con.txt\\b", L"C:\\a\\Lpt\u00b9.log",
             L"C:\\a\\com\u00b3", L"C:\\a\\conout$", L"C:\\a\\aux .x.txt"}) {
    EXPECT_FALSE(IsSafeLocalPath(path)) << test::Utf8(path.substr(0, 40));
  }
}

TEST(PathChecksTest, PathFromUtf8DecodesTurnsSlashesAndChecksForm) {
  // Three bytes per unit: 32766 units (98292 bytes) is the longest path.
  std::string longest = "C:\\";
  for (int i = 0; i < 32763; ++i) longest += "\xe6\x97\xa5";
  EXPECT_EQ(PathFromUtf8("c:/J\xc3\xbcrgen/\xf0\x9f\x98\x80.exe"),
            L"c:\\J\u00fcrgen\\\U0001F600.exe");
  EXPECT_EQ(PathFromUtf8(longest), L"C:\\" + std::wstring(32763, L'\u65e5'));
  for (const std::string& text : std::vector<std::string>{
           longest + "\xe6\x97\xa5", "", "C:/a/../b", "//server/share/a", "C:/a/\xc3",
           "C:/a/\xc0\xaf", "C:/a/\xed\xa0\x80", std::string("C:/a\0b", 6)}) {
    EXPECT_EQ(PathFromUtf8(text), std::nullopt) << text.substr(0, 40);
  }
}

TEST(PathChecksTest, PathsAreEqualWholeOrdinalAndCaseInsensitive) {
  EXPECT_TRUE(PathsEqual(L"\\\\?\\C:\\\u00c4rger", L"\\\\?\\c:\\\u00e4RGER"));
  EXPECT_FALSE(PathsEqual(L"C:\\a", L"C:\\a\\"));
  EXPECT_FALSE(PathsEqual(L"\\\\?\\C:\\a", L"C:\\a"));
}

TEST(FileIdentityTest, OnlyLocalDrivesAreLocal) {
  EXPECT_EQ(DriveLetterForm(L"\\\\?\\C:\\Temp\\a.exe"), L"C:\\Temp\\a.exe");
  EXPECT_EQ(DriveLetterForm(L"\\\\?\\UNC\\server\\share\\a.exe"), std::nullopt);
  EXPECT_EQ(DriveLetterForm(L"\\\\?\\Volume{0}\\a.exe"), std::nullopt);
  EXPECT_EQ(DriveLetterForm(L"C:\\a.exe"), std::nullopt);
  // A network redirector marks its devices remote (FILE_REMOTE_DEVICE).
  EXPECT_TRUE(IsLocalDisk(FILE_TYPE_DISK, 0x20));
  EXPECT_FALSE(IsLocalDisk(FILE_TYPE_DISK, 0x10));
  EXPECT_FALSE(IsLocalDisk(FILE_TYPE_PIPE, 0));
}

TEST(FileIdentityTest, APlainFileHasOneNameOnADisk) {
  ScratchFolder folder;
  const std::wstring file = folder / L"Plain.exe";
  ASSERT_TRUE(WriteBytes(file, "MZ"));
  auto opened = OpenPinned(file, PinnedObject::InstallerFile);
  ASSERT_TRUE(opened);
  const UniqueKernelHandle& handle = *opened;
  EXPECT_TRUE(PathsEqual(*FinalPathOfHandle(handle.Get()), L"\\\\?\\" + file));
  EXPECT_FALSE(FinalPathOfHandle(INVALID_HANDLE_VALUE));
  EXPECT_TRUE(IsPlainLocalFile(handle.Get(), *ReadFileInformation(handle.Get())));

  // A second hard link, even one made while the handle is open.
  ASSERT_TRUE(::CreateHardLinkW((folder / L"second.exe").c_str(), file.c_str(), nullptr));
  EXPECT_FALSE(IsPlainLocalFile(handle.Get(), *ReadFileInformation(handle.Get())));

  UniqueKernelHandle directory = std::move(*OpenPinned(folder.path(), PinnedObject::UpdateFolder));
  const auto folderInfo = ReadFileInformation(directory.Get());
  EXPECT_TRUE(IsPlainDirectory(*folderInfo));
  EXPECT_FALSE(IsPlainLocalFile(directory.Get(), *folderInfo));

  // Information that claims a plain file still fails on a pipe or a device.
  BY_HANDLE_FILE_INFORMATION plain{};
  plain.nNumberOfLinks = 1;
  HANDLE readEnd = nullptr, writeEnd = nullptr;
  ASSERT_TRUE(::CreatePipe(&readEnd, &writeEnd, nullptr, 0));
  UniqueKernelHandle pipeRead(readEnd), pipeWrite(writeEnd);
  EXPECT_FALSE(IsPlainLocalFile(pipeRead.Get(), plain));
  UniqueKernelHandle device(::CreateFileW(L"NUL", GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE,
                                          nullptr, OPEN_EXISTING, 0, nullptr));
  EXPECT_FALSE(IsPlainLocalFile(device.Get(), plain));
}

}  // namespace
}  // namespace veltrix
