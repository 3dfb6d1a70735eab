#include "launch/file_identity.h"

#include <gtest/gtest.h>

#include <string>

#include "launch/launch_test_support.h"

namespace veltrix {
namespace {

using test::ScratchFolder;
using test::WriteBytes;

TEST(IsSafeLocalPathTest, AcceptsOnlyPlainDriveLetterPaths) {
  const std::wstring longest = L"C:\\" + std::wstring(32763, L'a');  // 32766 units
  const struct {
    std::wstring path;
    bool safe;
  } cases[] = {
      {L"C:\\a", true},
      {L"z:\\a\\.b", true},
      {L"C:\\Program Files\\VELTRIX VPN\\x", true},
      {L"C:\\Benutzer\\J\u00fcrgen\\\u65e5\u672c.exe", true},
      {longest, true},
      {longest + L"a", false},
      {L"", false},
      {L"C:\\", false},
      {L"C:a\\b", false},
      {L"1:\\a", false},
      {L"\u00c4:\\a", false},
      {L"\\\\server\\share\\a", false},
      {L"\\\\?\\C:\\a", false},
      {L"\\\\.\\C:\\a", false},
      {L"\\a\\b", false},
      {L"C:\\a/b", false},
      {L"C:\\a\\", false},
      {L"C:\\a\\\\b", false},
      {L"C:\\a\\.\\b", false},
      {L"C:\\a\\..\\b", false},
      {L"C:\\a\\..", false},
      {L"C:\\a.\\b", false},
      {L"C:\\a\\b ", false},
      {L"C:\\a:stream:$DATA", false},
      {L"C:\\a*b", false},
      {L"C:\\a?b", false},
      {L"C:\\a|b", false},
      {L"C:\\a<b", false},
      {L"C:\\a>b", false},
      {L"C:\\a\"b", false},
      {L"C:\\a\x1f", false},
      {std::wstring(L"C:\\a\0b", 6), false},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(IsSafeLocalPath(c.path), c.safe) << test::Utf8(c.path) << " " << c.path.size();
  }
}

TEST(PathFromUtf8Test, DecodesTurnsSlashesAndChecksForm) {
  // Three bytes per unit: 32766 units (98292 bytes) is the longest path.
  std::string longest = "C:\\";
  for (int i = 0; i < 32763; ++i) longest += "\xe6\x97\xa5";
  const struct {
    std::string text;
    std::wstring expected;  // empty: refused
  } cases[] = {
      {"C:/Users/x/a.exe", L"C:\\Users\\x\\a.exe"},
      {"c:/J\xc3\xbcrgen/\xe6\x97\xa5.exe", L"c:\\J\u00fcrgen\\\u65e5.exe"},
      {"C:/a/\xf0\x9f\x98\x80", L"C:\\a\\\U0001F600"},
      {longest, L"C:\\" + std::wstring(32763, L'\u65e5')},
      {longest + "\xe6\x97\xa5", L""},
      {"", L""},
      {"C:/a/../b", L""},
      {"//server/share/a", L""},
      {"\xc3\x84:/a", L""},
      {"C:/a/\xc3", L""},          // truncated sequence
      {"C:/a/\xc0\xaf", L""},      // overlong '/'
      {"C:/a/\xed\xa0\x80", L""},  // a lone surrogate
      {"C:/a/\xff", L""},
      {std::string("C:/a\0b", 6), L""},
      {std::string("C:/ab\0", 6), L""},
  };
  for (const auto& c : cases) {
    std::wstring path = L"left over";
    EXPECT_EQ(PathFromUtf8(c.text, &path), !c.expected.empty()) << c.text.substr(0, 40);
    EXPECT_EQ(path, c.expected) << c.text.substr(0, 40);
  }
}

TEST(PathsEqualTest, WholeOrdinalAndCaseInsensitive) {
  EXPECT_TRUE(PathsEqual(L"\\\\?\\C:\\\u00c4rger", L"\\\\?\\c:\\\u00e4RGER"));
  EXPECT_FALSE(PathsEqual(L"C:\\a", L"C:\\a\\"));
  EXPECT_FALSE(PathsEqual(L"\\\\?\\C:\\a", L"C:\\a"));
  EXPECT_FALSE(PathsEqual(L"C:\\a", L""));
}

TEST(FileIdentityTest, PlainFileHasOneNameAndItsFinalPath) {
  ScratchFolder folder;
  const std::wstring file = folder / L"Plain.exe";
  ASSERT_TRUE(WriteBytes(file, "MZ"));
  UniqueFile handle = OpenPinned(file, PinnedObject::InstallerFile);
  ASSERT_TRUE(handle);
  EXPECT_TRUE(PathsEqual(FinalPathOfHandle(handle.Get()), L"\\\\?\\" + file));
  EXPECT_EQ(FinalPathOfHandle(INVALID_HANDLE_VALUE), L"");
  BY_HANDLE_FILE_INFORMATION info;
  ASSERT_TRUE(ReadFileInformation(handle.Get(), &info));
  EXPECT_TRUE(IsPlainLocalFile(handle.Get(), info));
  EXPECT_FALSE(IsPlainDirectory(info));

  // A second hard link, even one made while the handle is open.
  ASSERT_TRUE(::CreateHardLinkW((folder / L"second.exe").c_str(), file.c_str(), nullptr));
  ASSERT_TRUE(ReadFileInformation(handle.Get(), &info));
  EXPECT_FALSE(IsPlainLocalFile(handle.Get(), info));

  // The attribute bits decide alone.
  const struct {
    DWORD attributes;
    bool plainDirectory;
    bool plainFile;
  } cases[] = {
      {FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_READONLY, true, false},
      {FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_REPARSE_POINT, false, false},
      {FILE_ATTRIBUTE_REPARSE_POINT, false, false},
      {FILE_ATTRIBUTE_ARCHIVE, false, true},
  };
  for (const auto& c : cases) {
    BY_HANDLE_FILE_INFORMATION bits{};
    bits.dwFileAttributes = c.attributes;
    bits.nNumberOfLinks = 1;
    EXPECT_EQ(IsPlainDirectory(bits), c.plainDirectory) << c.attributes;
    EXPECT_EQ(IsPlainLocalFile(handle.Get(), bits), c.plainFile) << c.attributes;
  }
}

TEST(FileIdentityTest, FoldersPipesAndDevicesAreNotPlainFiles) {
  ScratchFolder folder;
  UniqueFile directory = OpenPinned(folder.path(), PinnedObject::UpdateFolder);
  BY_HANDLE_FILE_INFORMATION info;
  ASSERT_TRUE(ReadFileInformation(directory.Get(), &info));
  EXPECT_TRUE(IsPlainDirectory(info));
  EXPECT_FALSE(IsPlainLocalFile(directory.Get(), info));

  // Information that claims a plain file still fails on a pipe or a device.
  BY_HANDLE_FILE_INFORMATION plain{};
  plain.dwFileAttributes = FILE_ATTRIBUTE_NORMAL;
  plain.nNumberOfLinks = 1;
  HANDLE readEnd = nullptr;
  HANDLE writeEnd = nullptr;
  ASSERT_TRUE(::CreatePipe(&readEnd, &writeEnd, nullptr, 0));
  UniqueFile pipeRead(readEnd);
  UniqueFile pipeWrite(writeEnd);
  EXPECT_FALSE(IsPlainLocalFile(pipeRead.Get(), plain));
  UniqueFile device(::CreateFileW(L"NUL", GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                  OPEN_EXISTING, 0, nullptr));
  ASSERT_TRUE(device);
  EXPECT_FALSE(IsPlainLocalFile(device.Get(), plain));
}

TEST(PinnedOpenTest, HeldObjectsCannotBeRemovedMovedOrWritten) {
  ScratchFolder folder;
  const std::wstring file = folder / L"installer.exe";
  const std::wstring inner = folder / L"VELTRIX-updates";
  ASSERT_TRUE(WriteBytes(file, "MZ"));
  ASSERT_TRUE(::CreateDirectoryW(inner.c_str(), nullptr));
  for (PinnedObject kind : {PinnedObject::InstallerFile, PinnedObject::ProtectedHelperFile}) {
    UniqueFile handle = OpenPinned(file, kind);
    ASSERT_TRUE(handle);
    EXPECT_FALSE(::DeleteFileW(file.c_str()));
    EXPECT_FALSE(::MoveFileW(file.c_str(), (folder / L"moved.exe").c_str()));
    EXPECT_EQ(test::WriteOpenError(file), static_cast<DWORD>(ERROR_SHARING_VIOLATION));
    EXPECT_EQ(test::ReadBytes(file), "MZ");  // readers are welcome
  }
  for (PinnedObject kind :
       {PinnedObject::TempFolder, PinnedObject::UpdateFolder, PinnedObject::ProtectedFolder}) {
    UniqueFile handle = OpenPinned(inner, kind);
    ASSERT_TRUE(handle);
    EXPECT_FALSE(::RemoveDirectoryW(inner.c_str()));
    EXPECT_FALSE(::MoveFileW(inner.c_str(), (folder / L"moved").c_str()));
    // Files may still come and go inside.
    EXPECT_TRUE(WriteBytes(inner + L"\\new.txt", "x"));
    EXPECT_TRUE(::DeleteFileW((inner + L"\\new.txt").c_str()));
  }
  EXPECT_TRUE(::DeleteFileW(file.c_str()));
  EXPECT_TRUE(::RemoveDirectoryW(inner.c_str()));
}

}  // namespace
}  // namespace veltrix
