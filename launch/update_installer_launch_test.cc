// The launch in a temporary folder of the test's own (never the user's
// downloads). The end-to-end suite starts the real installer through the
// shell and sends the plain refusals; these cases reach links, hard links,
// failing shells and what is held while the shell runs.
#include "launch/update_installer_launch.h"

#include <gtest/gtest.h>

#include <string>
#include <tuple>
#include <utility>

#include "base/testing/ended.h"
#include "file_safety/path_checks.h"
#include "file_safety/testing/file_test_support.h"

namespace veltrix {
namespace {

using test::ScratchFolder;

// The installer's bytes and their SHA-256.
constexpr char kBytes[] = "MZ";
constexpr char kDigest[] = "9b8db510ef42b8ed54a3712636fda55a4f8cfcd5493e20b74ab00cd4f3979f2d";

class UpdateInstallerLaunchTest : public ::testing::Test {
 protected:
  void PlaceInstaller(const std::string& bytes = kBytes) {
    ASSERT_TRUE(::CreateDirectoryW(updateFolder_.c_str(), nullptr));
    ASSERT_TRUE(test::WriteBytes(installer_, bytes));
  }

  // Records what the shell is asked and tries to replace the installer meanwhile.
  ShellExecuteFunction Shell(BOOL answer = TRUE, DWORD error = 0) {
    return [this, answer, error](SHELLEXECUTEINFOW* info) {
      shell_.Take(*info);
      heldInShell_ = !::DeleteFileW(installer_.c_str()) &&
                     test::WriteOpenError(installer_) == ERROR_SHARING_VIOLATION &&
                     !::MoveFileW(updateFolder_.c_str(), (temp_ / L"moved").c_str());
      ::SetLastError(error);
      return answer;
    };
  }

  auto Launch(const std::string& path, BOOL answer = TRUE, DWORD error = 0) {
    return test::Ended(LaunchUpdateInstaller(nullptr, {path, kDigest, 2}, Shell(answer, error)));
  }
  std::optional<InstallerRefusal> LaunchOutcome() { return Launch(test::Utf8(installer_)).first; }

  ScratchFolder temp_;
  test::ScopedEnvironmentVariable tmp_{L"TMP", temp_.path()};
  const std::wstring updateFolder_ = temp_ / L"VELTRIX-updates";
  const std::wstring installer_ = updateFolder_ + L"\\VELTRIX-VPN-Setup-x64-beta.exe";
  test::ShellRecord shell_;
  bool heldInShell_ = false;
};

TEST_F(UpdateInstallerLaunchTest, LaunchesTheBuiltPathWhileHoldingEverything) {
  PlaceInstaller();
  std::string given = test::Utf8(installer_);
  for (char& c : given) c = c == '\\' ? '/' : static_cast<char>(std::toupper(c));
  EXPECT_EQ(Launch(given).first, std::nullopt);
  ASSERT_EQ(shell_.calls, 1);
  // Built from the temporary folder, not from the caller's text.
  EXPECT_EQ(std::make_tuple(shell_.verb, shell_.file, shell_.directory),
            std::make_tuple(L"runas", installer_, updateFolder_));
  EXPECT_EQ(shell_.info.lpParameters, nullptr);
  EXPECT_TRUE(heldInShell_);
  // Released afterwards.
  EXPECT_TRUE(::DeleteFileW(installer_.c_str()));
  EXPECT_TRUE(::RemoveDirectoryW(updateFolder_.c_str()));
}

TEST_F(UpdateInstallerLaunchTest, MissingOrLinkedObjectsAreRefused) {
  EXPECT_EQ(Launch(test::Utf8(installer_)),
            test::Ending(InstallerRefusal::kUnavailable, ERROR_PATH_NOT_FOUND));
  // A folder is never opened as the installer.
  ASSERT_TRUE(::CreateDirectoryW(updateFolder_.c_str(), nullptr));
  ASSERT_TRUE(::CreateDirectoryW(installer_.c_str(), nullptr));
  EXPECT_EQ(LaunchOutcome(), InstallerRefusal::kUnavailable);
  test::RemoveTree(updateFolder_);

  // Anything beside the installer would be loaded by it, elevated.
  PlaceInstaller();
  ASSERT_TRUE(test::WriteBytes(updateFolder_ + L"\\version.dll", "MZ"));
  EXPECT_EQ(LaunchOutcome(), InstallerRefusal::kUnsafe) << "a file beside it";
  test::RemoveTree(updateFolder_);

  ScratchFolder elsewhere;
  PlaceInstaller();
  ASSERT_TRUE(::CreateHardLinkW((elsewhere / L"copy.exe").c_str(), installer_.c_str(), nullptr));
  EXPECT_EQ(LaunchOutcome(), InstallerRefusal::kUnsafe) << "second hard link";
  test::RemoveTree(updateFolder_);
  PlaceInstaller("");
  EXPECT_EQ(LaunchOutcome(), InstallerRefusal::kUnsafe) << "empty file";
  test::RemoveTree(updateFolder_);

  const std::wstring real = elsewhere / L"VELTRIX-VPN-Setup-x64-beta.exe";
  ASSERT_TRUE(test::WriteBytes(real, kBytes));
  ASSERT_TRUE(::CreateDirectoryW(updateFolder_.c_str(), nullptr));
  if (!test::MakeSymbolicLink(installer_, real, false)) GTEST_SKIP() << "no symbolic links here";
  EXPECT_EQ(LaunchOutcome(), InstallerRefusal::kUnsafe) << "linked installer";
  test::RemoveTree(updateFolder_);
  ASSERT_TRUE(test::MakeSymbolicLink(updateFolder_, elsewhere.path(), true));
  EXPECT_EQ(LaunchOutcome(), InstallerRefusal::kUnsafe) << "linked update folder";
  EXPECT_EQ(shell_.calls, 0);
}

TEST_F(UpdateInstallerLaunchTest, ShellFailuresCarryTheirCode) {
  PlaceInstaller();
  EXPECT_EQ(Launch(test::Utf8(installer_), FALSE, ERROR_CANCELLED),
            test::Ending(InstallerRefusal::kCancelled, ERROR_CANCELLED));
  EXPECT_EQ(Launch(test::Utf8(installer_), FALSE, ERROR_ACCESS_DENIED),
            test::Ending(InstallerRefusal::kLaunchFailed, ERROR_ACCESS_DENIED));
}

// A temporary folder reached through a link is accepted, its final path the
// anchor; and when the attacker re-points the link once the checks are done,
// the shell is still given the file that was verified.
TEST_F(UpdateInstallerLaunchTest, ALinkRepointedAfterTheChecksChangesNothing) {
  ScratchFolder verified;
  ScratchFolder substitute;
  for (const auto* folder : {&verified, &substitute}) {
    ASSERT_TRUE(::CreateDirectoryW((*folder / L"VELTRIX-updates").c_str(), nullptr));
  }
  const std::wstring name = L"VELTRIX-updates\\VELTRIX-VPN-Setup-x64-beta.exe";
  ASSERT_TRUE(test::WriteBytes(verified / name, kBytes));
  ASSERT_TRUE(test::WriteBytes(substitute / name, "MZ other program"));
  const std::wstring linkedTemp = temp_ / L"linked-temp";
  if (!test::MakeSymbolicLink(linkedTemp, verified.path(), true)) GTEST_SKIP() << "no links here";
  test::ScopedEnvironmentVariable tmp(L"TMP", linkedTemp);

  std::wstring started;
  const auto shell = [&](SHELLEXECUTEINFOW* info) {
    test::RemoveTree(linkedTemp);
    EXPECT_TRUE(test::MakeSymbolicLink(linkedTemp, substitute.path(), true));
    started = info->lpFile;
    return TRUE;
  };
  EXPECT_TRUE(
      LaunchUpdateInstaller(nullptr, {test::Utf8(linkedTemp + L"\\" + name), kDigest, 2}, shell));
  EXPECT_EQ(test::ReadBytes(started), kBytes);
  EXPECT_TRUE(PathsEqual(started, verified / name));
}

}  // namespace
}  // namespace veltrix
