#include "launch/file_identity.h"

#include <gtest/gtest.h>

#include <string>

#include "launch/launch_test_support.h"

namespace veltrix {
namespace {

using test::ScratchFolder;
using test::WriteBytes;

struct PathCase {
  const wchar_t* path;
  bool safe;
};

TEST(IsSafeLocalPathTest, AcceptsOnlyPlainDriveLetterPaths) {
  const PathCase cases[] = {
      {L"C:\\a", true},
      {L"c:\\Users\\x\\file.exe", true},
      {L"z:\\a\\.b", true},
      {L"C:\\a\\b.c", true},
      {L"C:\\Program Files\\VELTRIX VPN\\x", true},
      {L"C:\\Benutzer\\J\u00fcrgen\\\u65e5\u672c.exe", true},
      {L"", false},
      {L"C:\\", false},
      {L"C:", false},
      {L"C:a\\b", false},
      {L"1:\\a", false},
      {L"\u00c4:\\a", false},
      {L"\\\\server\\share\\a", false},
      {L"\\\\?\\C:\\a", false},
      {L"\\\\.\\C:\\a", false},
      {L"\\a\\b", false},
      {L"C:/a", false},
      {L"C:\\a/b", false},
      {L"C:\\a\\", false},
      {L"C:\\a\\\\b", false},
      {L"C:\\\\a", false},
      {L"C:\\a\\.\\b", false},
      {L"C:\\a\\..\\b", false},
      {L"C:\\a\\.", false},
      {L"C:\\a\\..", false},
      {L"C:\\a.\\b", false},
      {L"C:\\a \\b", false},
      {L"C:\\a\\...", false},
      {L"C:\\a\\b ", false},
      {L"C:\\a:b", false},
      {L"C:\\a:stream:$DATA", false},
      {L"C:\\a*b", false},
      {L"C:\\a?b", false},
      {L"C:\\a|b", false},
      {L"C:\\a<b", false},
      {L"C:\\a>b", false},
      {L"C:\\a\"b", false},
      {L"C:\\a\tb", false},
      {L"C:\\a\x1f", false},
  };
  for (const PathCase& c : cases) {
    EXPECT_EQ(IsSafeLocalPath(c.path), c.safe) << test::Utf8(c.path);
  }
}

TEST(IsSafeLocalPathTest, ZeroUnitInsideIsRefused) {
  const std::wstring path(L"C:\\a\0b", 6);
  EXPECT_FALSE(IsSafeLocalPath(path));
}

TEST(IsSafeLocalPathTest, LengthLimitIs32766Units) {
  std::wstring longest = L"C:\\" + std::wstring(32763, L'a');
  ASSERT_EQ(longest.size(), 32766u);
  EXPECT_TRUE(IsSafeLocalPath(longest));
  longest.push_back(L'a');
  EXPECT_FALSE(IsSafeLocalPath(longest));
}

struct Utf8Case {
  std::string text;
  const wchar_t* expected;  // nullptr: refused
};

TEST(PathFromUtf8Test, DecodesTurnsSlashesAndChecksForm) {
  const Utf8Case cases[] = {
      {"C:/Users/x/a.exe", L"C:\\Users\\x\\a.exe"},
      {"C:\\Users\\x\\a.exe", L"C:\\Users\\x\\a.exe"},
      {"c:/J\xc3\xbcrgen/\xe6\x97\xa5.exe", L"c:\\J\u00fcrgen\\\u65e5.exe"},
      {"C:/a/\xf0\x9f\x98\x80", L"C:\\a\\\U0001F600"},
      {"", nullptr},
      {"C:/a/", nullptr},
      {"C:/a/../b", nullptr},
      {"//server/share/a", nullptr},
      {"\xc3\x84:/a", nullptr},
      {"C:/a/\xc3", nullptr},          // truncated sequence
      {"C:/a/\xc0\xaf", nullptr},      // overlong '/'
      {"C:/a/\xed\xa0\x80", nullptr},  // a lone surrogate
      {"C:/a/\xff", nullptr},
      {std::string("C:/a\0b", 6), nullptr},
      {std::string("C:/ab\0", 6), nullptr},
  };
  for (const Utf8Case& c : cases) {
    std::wstring path = L"left over";
    const bool ok = PathFromUtf8(c.text, &path);
    EXPECT_EQ(ok, c.expected != nullptr) << c.text;
    EXPECT_EQ(path, c.expected != nullptr ? std::wstring(c.expected) : std::wstring()) << c.text;
  }
}

TEST(PathFromUtf8Test, UnitLimitCountsAfterDecoding) {
  // Three bytes per unit: 32766 units fill 98292 bytes and still pass.
  const std::string threeByte = "\xe6\x97\xa5";
  std::string text = "C:\\";
  for (int i = 0; i < 32763; ++i) text += threeByte;
  std::wstring path;
  EXPECT_TRUE(PathFromUtf8(text, &path));
  EXPECT_EQ(path.size(), 32766u);
  text += threeByte;
  EXPECT_FALSE(PathFromUtf8(text, &path));
}

TEST(PathFromUtf8Test, ByteLimitRefusesLongTextBeforeDecoding) {
  std::wstring path;
  EXPECT_FALSE(PathFromUtf8("C:\\" + std::string(131065, 'a'), &path));  // 131068 bytes
  EXPECT_FALSE(PathFromUtf8("C:\\" + std::string(131066, 'a'), &path));  // 131069 bytes
}

TEST(PathsEqualTest, WholeOrdinalAndCaseInsensitive) {
  EXPECT_TRUE(PathsEqual(L"C:\\A", L"c:\\a"));
  EXPECT_TRUE(PathsEqual(L"\\\\?\\C:\\\u00c4rger", L"\\\\?\\c:\\\u00e4RGER"));
  EXPECT_FALSE(PathsEqual(L"C:\\a", L"C:\\a\\"));
  EXPECT_FALSE(PathsEqual(L"\\\\?\\C:\\a", L"C:\\a"));
  EXPECT_FALSE(PathsEqual(L"C:\\a", L"C:\\a "));
  EXPECT_FALSE(PathsEqual(L"C:\\a", L""));
  EXPECT_TRUE(PathsEqual(L"", L""));
}

TEST(FileIdentityTest, FinalPathOfAFileIsPrefixedAndResolved) {
  ScratchFolder folder;
  const std::wstring file = folder / L"Plain.txt";
  ASSERT_TRUE(WriteBytes(file, "x"));
  UniqueFile handle = OpenPinned(file, PinnedObject::InstallerFile);
  ASSERT_TRUE(handle);
  const std::wstring finalPath = FinalPathOfHandle(handle.Get());
  EXPECT_EQ(finalPath.rfind(L"\\\\?\\", 0), 0u) << test::Utf8(finalPath);
  EXPECT_TRUE(PathsEqual(finalPath, L"\\\\?\\" + file)) << test::Utf8(finalPath);

  EXPECT_EQ(FinalPathOfHandle(INVALID_HANDLE_VALUE), L"");
  EXPECT_EQ(FinalPathOfHandle(nullptr), L"");
}

TEST(FileIdentityTest, PlainFileHasOneNameAndIsOnDisk) {
  ScratchFolder folder;
  const std::wstring file = folder / L"installer.exe";
  ASSERT_TRUE(WriteBytes(file, "MZ"));

  UniqueFile handle = OpenPinned(file, PinnedObject::InstallerFile);
  ASSERT_TRUE(handle);
  BY_HANDLE_FILE_INFORMATION info;
  ASSERT_TRUE(ReadFileInformation(handle.Get(), &info));
  EXPECT_TRUE(IsPlainLocalFile(handle.Get(), info));
  EXPECT_FALSE(IsPlainDirectory(info));

  // A second hard link, even one made while the handle is open.
  ASSERT_TRUE(::CreateHardLinkW((folder / L"second.exe").c_str(), file.c_str(), nullptr));
  ASSERT_TRUE(ReadFileInformation(handle.Get(), &info));
  EXPECT_EQ(info.nNumberOfLinks, 2u);
  EXPECT_FALSE(IsPlainLocalFile(handle.Get(), info));
}

TEST(FileIdentityTest, FoldersPipesAndDevicesAreNotPlainFiles) {
  ScratchFolder folder;
  UniqueFile directory = OpenPinned(folder.path(), PinnedObject::UpdateFolder);
  ASSERT_TRUE(directory);
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

TEST(FileIdentityTest, AttributeBitsDecideAlone) {
  struct AttributeCase {
    DWORD attributes;
    bool plainDirectory;
    bool plainFile;
  };
  const AttributeCase cases[] = {
      {FILE_ATTRIBUTE_DIRECTORY, true, false},
      {FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_SYSTEM, true, false},
      {FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_REPARSE_POINT, false, false},
      {FILE_ATTRIBUTE_REPARSE_POINT, false, false},
      {FILE_ATTRIBUTE_ARCHIVE, false, true},
      {FILE_ATTRIBUTE_NORMAL, false, true},
  };
  ScratchFolder folder;
  const std::wstring file = folder / L"f";
  ASSERT_TRUE(WriteBytes(file, "x"));
  UniqueFile handle = OpenPinned(file, PinnedObject::InstallerFile);
  ASSERT_TRUE(handle);
  for (const AttributeCase& c : cases) {
    BY_HANDLE_FILE_INFORMATION info{};
    info.dwFileAttributes = c.attributes;
    info.nNumberOfLinks = 1;
    EXPECT_EQ(IsPlainDirectory(info), c.plainDirectory) << c.attributes;
    EXPECT_EQ(IsPlainLocalFile(handle.Get(), info), c.plainFile) << c.attributes;
  }
}

TEST(PinnedOpenTest, HeldFilesCannotBeDeletedMovedOrWritten) {
  ScratchFolder folder;
  const std::wstring file = folder / L"installer.exe";
  ASSERT_TRUE(WriteBytes(file, "MZ"));
  for (PinnedObject kind : {PinnedObject::InstallerFile, PinnedObject::ProtectedHelperFile}) {
    UniqueFile handle = OpenPinned(file, kind);
    ASSERT_TRUE(handle);
    EXPECT_FALSE(::DeleteFileW(file.c_str()));
    EXPECT_EQ(::GetLastError(), static_cast<DWORD>(ERROR_SHARING_VIOLATION));
    EXPECT_FALSE(::MoveFileW(file.c_str(), (folder / L"moved.exe").c_str()));
    EXPECT_EQ(test::WriteOpenError(file), static_cast<DWORD>(ERROR_SHARING_VIOLATION));
    // Readers are welcome.
    UniqueFile reader(::CreateFileW(file.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE,
                                    nullptr, OPEN_EXISTING, 0, nullptr));
    EXPECT_TRUE(reader);
  }
  EXPECT_TRUE(::DeleteFileW(file.c_str()));
}

TEST(PinnedOpenTest, HeldFoldersCannotBeRemovedOrMoved) {
  ScratchFolder folder;
  const std::wstring inner = folder / L"VELTRIX-updates";
  for (PinnedObject kind :
       {PinnedObject::TempFolder, PinnedObject::UpdateFolder, PinnedObject::ProtectedFolder}) {
    ASSERT_TRUE(::CreateDirectoryW(inner.c_str(), nullptr));
    {
      UniqueFile handle = OpenPinned(inner, kind);
      ASSERT_TRUE(handle);
      EXPECT_FALSE(::RemoveDirectoryW(inner.c_str()));
      EXPECT_FALSE(::MoveFileW(inner.c_str(), (folder / L"moved").c_str()));
      // Files may still come and go inside.
      EXPECT_TRUE(WriteBytes(inner + L"\\new.txt", "x"));
      EXPECT_TRUE(::DeleteFileW((inner + L"\\new.txt").c_str()));
    }
    EXPECT_TRUE(::RemoveDirectoryW(inner.c_str()));
  }
}

TEST(PinnedOpenTest, FileRowsRefuseFoldersAndFailedOpensLeaveTheError) {
  ScratchFolder folder;
  UniqueFile asFile = OpenPinned(folder.path(), PinnedObject::InstallerFile);
  EXPECT_FALSE(asFile);
  EXPECT_NE(::GetLastError(), static_cast<DWORD>(ERROR_SUCCESS));

  UniqueFile missing = OpenPinned(folder / L"missing.exe", PinnedObject::InstallerFile);
  EXPECT_FALSE(missing);
  EXPECT_EQ(::GetLastError(), static_cast<DWORD>(ERROR_FILE_NOT_FOUND));

  UniqueFile missingParent = OpenPinned(folder / L"no\\missing.exe", PinnedObject::InstallerFile);
  EXPECT_FALSE(missingParent);
  EXPECT_EQ(::GetLastError(), static_cast<DWORD>(ERROR_PATH_NOT_FOUND));
}

TEST(PinnedOpenTest, LinkedFolderShowsItsTargetAsFinalPath) {
  ScratchFolder folder;
  const std::wstring target = folder / L"elsewhere";
  const std::wstring link = folder / L"VELTRIX-updates";
  ASSERT_TRUE(::CreateDirectoryW(target.c_str(), nullptr));
  if (!test::MakeSymbolicLink(link, target, true)) GTEST_SKIP() << "no symbolic links here";

  UniqueFile handle = OpenPinned(link, PinnedObject::UpdateFolder);
  if (!handle) SUCCEED() << "the link was refused at the open";
  if (handle) {
    // Windows opens the link itself and reports it; Wine follows it, and the
    // final path then names the target.
    BY_HANDLE_FILE_INFORMATION info;
    ASSERT_TRUE(ReadFileInformation(handle.Get(), &info));
    const std::wstring finalPath = FinalPathOfHandle(handle.Get());
    EXPECT_TRUE(!IsPlainDirectory(info) || !PathsEqual(finalPath, L"\\\\?\\" + link))
        << test::Utf8(finalPath);
  }
}

}  // namespace
}  // namespace veltrix
