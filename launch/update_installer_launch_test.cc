#include "launch/update_installer_launch.h"

#include <gtest/gtest.h>

#include <cwctype>
#include <string>
#include <vector>

#include "launch/file_identity.h"
#include "launch/launch_test_support.h"

namespace veltrix {
namespace {

using test::ScratchFolder;

const HWND kOwner = reinterpret_cast<HWND>(static_cast<uintptr_t>(0x5150));
constexpr DWORD kSharingViolation = ERROR_SHARING_VIOLATION;
const std::string kElsewhere = "invalid_installer_path|Installer must be in VELTRIX-updates.";
const std::string kInvalid = "invalid_installer_path|Invalid update installer path.";
const std::string kUnsafe = "invalid_installer_path|Unsafe update installer path.";
const std::string kUnavailable = "installer_unavailable|Update installer is unavailable.|";
const std::string kMismatch =
    "installer_verification_failed|Installer bytes do not match the verified release.";

class UpdateInstallerLaunchTest : public ::testing::Test {
 protected:
  void SetUp() override { test::RemoveTree(updateFolder_); }
  void TearDown() override { test::RemoveTree(updateFolder_); }

  void PlaceInstaller(const std::string& bytes) {
    ASSERT_TRUE(::CreateDirectoryW(updateFolder_.c_str(), nullptr));
    ASSERT_TRUE(test::WriteBytes(installer_, bytes));
    bytes_ = bytes;
    digest_ = test::Sha256Hex(bytes);
  }

  // Records what the shell is asked and tries to replace the installer meanwhile.
  ShellExecuteFunction RecordingShell(BOOL answer = TRUE, DWORD error = 0,
                                      HANDLE process = nullptr) {
    return [this, answer, error, process](SHELLEXECUTEINFOW* info) {
      shell_.Take(*info);
      deleteErrorInShell_ = ::DeleteFileW(installer_.c_str()) ? ERROR_SUCCESS : ::GetLastError();
      writeErrorInShell_ = test::WriteOpenError(installer_);
      folderMovedInShell_ = ::RemoveDirectoryW(updateFolder_.c_str()) ||
                            ::MoveFileW(updateFolder_.c_str(), (temp_ + L"VELTRIX-moved").c_str());
      info->hProcess = process;
      ::SetLastError(error);
      return answer;
    };
  }

  std::string Launch(const std::string& path, const std::string& digest, uint64_t size,
                     const ShellExecuteFunction& shell) {
    test::RecordingResult result;
    result.onReply = [this] { writeErrorAtReply_ = test::WriteOpenError(installer_); };
    LaunchUpdateInstaller(kOwner, path, digest, size, result, shell);
    EXPECT_EQ(result.replies, 1);
    return result.reply;
  }
  std::string Launch(const std::string& path) {
    return Launch(path, digest_, bytes_.size(), RecordingShell());
  }

  const std::wstring temp_ = test::TempFolder();
  const std::wstring updateFolder_ = temp_ + L"VELTRIX-updates";
  const std::wstring installer_ = updateFolder_ + L"\\VELTRIX-VPN-Setup-x64-beta.exe";
  const std::string installerText_ = test::Utf8(installer_);
  std::string bytes_ = "MZ installer";
  std::string digest_ = test::Sha256Hex(bytes_);
  test::ShellRecord shell_;
  DWORD deleteErrorInShell_ = 0;
  DWORD writeErrorInShell_ = 0;
  bool folderMovedInShell_ = true;
  DWORD writeErrorAtReply_ = 0;
};

// The installer path as a caller might write it: other letter case, '/'.
std::string MixedSpelling(std::wstring text) {
  for (size_t i = 0; i < text.size(); ++i) {
    text[i] = text[i] == L'\\' ? L'/'
              : i % 2 == 0     ? static_cast<wchar_t>(std::towupper(text[i]))
                               : static_cast<wchar_t>(std::towlower(text[i]));
  }
  return test::Utf8(text);
}

TEST_F(UpdateInstallerLaunchTest, LaunchesTheBuiltPathWhileHoldingEverything) {
  PlaceInstaller("MZ the release bytes");
  const std::string given = MixedSpelling(installer_);
  ASSERT_NE(test::Wide(given), installer_);
  HANDLE process = nullptr;
  ASSERT_TRUE(::DuplicateHandle(::GetCurrentProcess(), ::GetCurrentProcess(), ::GetCurrentProcess(),
                                &process, 0, FALSE, DUPLICATE_SAME_ACCESS));
  EXPECT_EQ(Launch(given, digest_, bytes_.size(), RecordingShell(TRUE, 0, process)), "success");

  ASSERT_EQ(shell_.calls, 1);
  EXPECT_EQ(shell_.info.cbSize, 112u);
  EXPECT_EQ(shell_.info.fMask, 0x140u);  // no close process, no async
  EXPECT_EQ(shell_.info.hwnd, kOwner);
  EXPECT_EQ(shell_.verb, L"runas");
  // Built from the temporary folder, not from the caller's text.
  EXPECT_EQ(shell_.file, installer_);
  EXPECT_EQ(shell_.info.lpParameters, nullptr);
  EXPECT_EQ(shell_.directory, updateFolder_);
  EXPECT_EQ(shell_.info.nShow, SW_SHOWNORMAL);

  // During the launch and at the reply nothing could replace the installer.
  EXPECT_EQ(deleteErrorInShell_, kSharingViolation);
  EXPECT_EQ(writeErrorInShell_, kSharingViolation);
  EXPECT_FALSE(folderMovedInShell_);
  EXPECT_EQ(writeErrorAtReply_, kSharingViolation);

  // Afterwards everything is released, the returned process handle too.
  DWORD flags = 0;
  EXPECT_FALSE(::GetHandleInformation(process, &flags));
  EXPECT_TRUE(::DeleteFileW(installer_.c_str()));
  EXPECT_TRUE(::RemoveDirectoryW(updateFolder_.c_str()));
}

TEST_F(UpdateInstallerLaunchTest, OtherPathsAreRefusedBeforeOpeningAnything) {
  PlaceInstaller("MZ");
  ScratchFolder elsewhere;
  ASSERT_TRUE(::CreateDirectoryW((elsewhere / L"VELTRIX-updates").c_str(), nullptr));
  const std::wstring sameNameElsewhere =
      elsewhere / L"VELTRIX-updates\\VELTRIX-VPN-Setup-x64-beta.exe";
  ASSERT_TRUE(test::WriteBytes(sameNameElsewhere, "MZ"));
  const std::string& installer = installerText_;
  const struct {
    std::string path;
    const std::string& reply;
  } cases[] = {
      {test::Utf8(sameNameElsewhere), kElsewhere},
      {test::Utf8(updateFolder_), kElsewhere},
      {installer + ".exe", kElsewhere},
      {test::Utf8(updateFolder_ + L"\\sub\\VELTRIX-VPN-Setup-x64-beta.exe"), kElsewhere},
      {"", kInvalid},
      {std::string(installer).insert(3, std::string(1, '\0')), kInvalid},
      {installer.substr(0, installer.size() - 4) + "\xff.exe", kInvalid},
      {test::Utf8(updateFolder_ + L"\\..\\VELTRIX-updates\\VELTRIX-VPN-Setup-x64-beta.exe"),
       kInvalid},
      {test::Utf8(L"\\\\?\\" + installer_), kInvalid},
      {"\\\\server\\share\\VELTRIX-updates\\VELTRIX-VPN-Setup-x64-beta.exe", kInvalid},
  };
  for (const auto& c : cases) EXPECT_EQ(Launch(c.path), c.reply) << c.path;
  EXPECT_EQ(shell_.calls, 0);
}

TEST_F(UpdateInstallerLaunchTest, MissingObjectsReportTheFailedOpen) {
  EXPECT_EQ(Launch(installerText_), kUnavailable + std::to_string(ERROR_PATH_NOT_FOUND));
  ASSERT_TRUE(::CreateDirectoryW(updateFolder_.c_str(), nullptr));
  EXPECT_EQ(Launch(installerText_), kUnavailable + std::to_string(ERROR_FILE_NOT_FOUND));
  // A folder is never opened as the installer.
  ASSERT_TRUE(::CreateDirectoryW(installer_.c_str(), nullptr));
  const std::string folderInstead = Launch(installerText_);
  EXPECT_EQ(folderInstead.rfind(kUnavailable, 0), 0u) << folderInstead;
  EXPECT_NE(folderInstead, kUnavailable + "0");
  EXPECT_EQ(shell_.calls, 0);
}

TEST_F(UpdateInstallerLaunchTest, SharedOrLinkedObjectsAreUnsafe) {
  ScratchFolder elsewhere;
  PlaceInstaller("MZ");
  ASSERT_TRUE(::CreateHardLinkW((elsewhere / L"copy.exe").c_str(), installer_.c_str(), nullptr));
  EXPECT_EQ(Launch(installerText_), kUnsafe) << "second hard link";
  test::RemoveTree(updateFolder_);
  PlaceInstaller("");
  EXPECT_EQ(Launch(installerText_, digest_, 1, RecordingShell()), kUnsafe) << "empty file";
  test::RemoveTree(updateFolder_);
  EXPECT_EQ(shell_.calls, 0);

  const std::wstring real = elsewhere / L"VELTRIX-VPN-Setup-x64-beta.exe";
  PlaceInstaller("MZ");
  ASSERT_TRUE(test::WriteBytes(real, bytes_));
  ASSERT_TRUE(::DeleteFileW(installer_.c_str()));
  if (!test::MakeSymbolicLink(installer_, real, false)) GTEST_SKIP() << "no symbolic links here";
  EXPECT_EQ(Launch(installerText_), kUnsafe) << "linked installer";
  test::RemoveTree(updateFolder_);
  ASSERT_TRUE(test::MakeSymbolicLink(updateFolder_, elsewhere.path(), true));
  EXPECT_EQ(Launch(installerText_), kUnsafe) << "linked update folder";
  EXPECT_EQ(shell_.calls, 0);
}

TEST_F(UpdateInstallerLaunchTest, WrongBytesFailVerification) {
  PlaceInstaller("MZ the release bytes");
  const std::string otherDigest = test::Sha256Hex("MZ other bytes");
  EXPECT_EQ(Launch(installerText_, otherDigest, bytes_.size(), RecordingShell()), kMismatch);
  EXPECT_EQ(Launch(installerText_, digest_, bytes_.size() - 1, RecordingShell()), kMismatch);
  EXPECT_EQ(Launch(installerText_, digest_, bytes_.size() + 1, RecordingShell()), kMismatch);
  EXPECT_EQ(shell_.calls, 0);
  // A failed check leaves the download where it is, and releases it.
  EXPECT_EQ(test::ReadBytes(installer_), bytes_);
  EXPECT_TRUE(::DeleteFileW(installer_.c_str()));
}

TEST_F(UpdateInstallerLaunchTest, ShellFailuresCarryTheirCode) {
  PlaceInstaller("MZ");
  EXPECT_EQ(Launch(installerText_, digest_, bytes_.size(), RecordingShell(FALSE, 1223)),
            "installer_cancelled|Could not launch the update installer.|1223");
  EXPECT_EQ(Launch(installerText_, digest_, bytes_.size(), RecordingShell(FALSE, 5)),
            "installer_launch_failed|Could not launch the update installer.|5");
  EXPECT_EQ(test::WriteOpenError(installer_), static_cast<DWORD>(ERROR_SUCCESS));
}

TEST_F(UpdateInstallerLaunchTest, TemporaryFolderReachedThroughALinkIsTheAnchor) {
  ScratchFolder real;
  ScratchFolder links;
  const std::wstring linkedTemp = links / L"linked-temp";
  if (!test::MakeSymbolicLink(linkedTemp, real.path(), true)) GTEST_SKIP() << "no symbolic links";
  test::ScopedEnvironmentVariable tmp(L"TMP", linkedTemp);
  ASSERT_EQ(test::TempFolder(), linkedTemp + L"\\");
  ASSERT_TRUE(::CreateDirectoryW((real / L"VELTRIX-updates").c_str(), nullptr));
  ASSERT_TRUE(test::WriteBytes(real / L"VELTRIX-updates\\VELTRIX-VPN-Setup-x64-beta.exe", bytes_));

  const std::wstring expected = linkedTemp + L"\\VELTRIX-updates\\VELTRIX-VPN-Setup-x64-beta.exe";
  EXPECT_EQ(Launch(test::Utf8(expected)), "success");
  EXPECT_EQ(shell_.file, expected);
}

// The one launch through the real shell: a probe program stands in for the
// installer and records its module, command line and working folder.
TEST_F(UpdateInstallerLaunchTest, RealLaunchStartsTheVerifiedFile) {
  PlaceInstaller(test::ReadBytes(test::ProgramFolder() + L"\\launch_probe.exe"));
  ASSERT_GT(bytes_.size(), 0u);
  ScratchFolder records;
  const std::wstring record = records / L"record.txt";
  test::ScopedEnvironmentVariable recordVariable(L"VELTRIX_PROBE_RECORD", record);

  test::RecordingResult result;
  LaunchUpdateInstaller(nullptr, MixedSpelling(installer_), digest_, bytes_.size(), result);
  ASSERT_EQ(result.reply, "success");

  std::string recorded;
  for (int i = 0; i < 300 && recorded.empty(); ++i) {
    ::Sleep(50);
    recorded = test::ReadBytes(record);
  }
  std::vector<std::wstring> lines;  // module, command line, working folder
  for (size_t at = 0, end; (end = recorded.find('\n', at)) != std::string::npos; at = end + 1) {
    lines.push_back(test::Wide(recorded.substr(at, end - at)));
  }
  ASSERT_EQ(lines.size(), 3u) << "the probe did not run";
  EXPECT_TRUE(PathsEqual(lines[0], installer_)) << recorded;
  EXPECT_NE(lines[1].find(installer_), std::wstring::npos) << recorded;
  EXPECT_TRUE(PathsEqual(lines[2], updateFolder_)) << recorded;

  // Once the installer has exited the download can be removed again.
  bool deleted = false;
  for (int i = 0; i < 200 && !deleted; ++i) {
    deleted = ::DeleteFileW(installer_.c_str()) != FALSE;
    if (!deleted) ::Sleep(50);
  }
  EXPECT_TRUE(deleted);
}

}  // namespace
}  // namespace veltrix
