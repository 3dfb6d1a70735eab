// The launch in a temporary folder of the test's own (never the user's
// downloads or copies). The end-to-end suite starts the real installer
// through the shell and sends the plain refusals; these cases reach links,
// hard links, attacks on the copy, failing shells and what is held while the
// shell runs.
#include "launch/update_installer_launch.h"

#include <gtest/gtest.h>

#include <sddl.h>

#include <filesystem>
#include <functional>
#include <string>
#include <tuple>
#include <utility>
#include <vector>

#include "base/testing/ended.h"
#include "file_safety/path_checks.h"
#include "file_safety/testing/file_test_support.h"

namespace veltrix {
namespace {

using test::ScratchFolder;

// The installer's bytes and their SHA-256.
constexpr char kBytes[] = "MZ";
constexpr char kDigest[] = "9b8db510ef42b8ed54a3712636fda55a4f8cfcd5493e20b74ab00cd4f3979f2d";

std::vector<std::wstring> Entries(const std::wstring& folder) {
  std::vector<std::wstring> names;
  for (const auto& entry : std::filesystem::directory_iterator(folder)) {
    names.push_back(entry.path().filename().wstring());
  }
  return names;
}

class UpdateInstallerLaunchTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(::CreateDirectoryW(updates_.c_str(), nullptr));
    steps_.updatesFolder = [this] { return Win32Result<std::wstring>(updates_); };
    steps_.lock = [this](HANDLE object, PSECURITY_DESCRIPTOR locked) {
      if (onLock_) onLock_();
      ++locks_;
      return DefaultInstallerCopySteps().lock(object, locked);
    };
  }

  void PlaceInstaller(const std::string& bytes = kBytes) {
    ASSERT_TRUE(::CreateDirectoryW(updateFolder_.c_str(), nullptr));
    ASSERT_TRUE(test::WriteBytes(installer_, bytes));
  }

  // Records what the shell is asked and tries to change the copy meanwhile.
  ShellExecuteFunction Shell(BOOL answer = TRUE, DWORD error = 0) {
    return [this, answer, error](SHELLEXECUTEINFOW* info) {
      shell_.Take(*info);
      copyFolder_ = Entries(shell_.directory);
      heldInShell_ = !::DeleteFileW(shell_.file.c_str()) &&
                     test::WriteOpenError(shell_.file) == ERROR_SHARING_VIOLATION &&
                     !::MoveFileW(shell_.directory.c_str(), (temp_ / L"moved").c_str());
      ::SetLastError(error);
      return answer;
    };
  }

  auto Launch(const std::string& path, BOOL answer = TRUE, DWORD error = 0) {
    return test::Ended(
        LaunchUpdateInstaller(nullptr, {path, kDigest, 2}, steps_, Shell(answer, error)));
  }
  std::optional<InstallerRefusal> LaunchOutcome() { return Launch(test::Utf8(installer_)).first; }

  ScratchFolder temp_;
  test::ScopedEnvironmentVariable tmp_{L"TMP", temp_.path()};
  const std::wstring updateFolder_ = temp_ / L"VELTRIX-updates";
  const std::wstring installer_ = updateFolder_ + L"\\VELTRIX-VPN-Setup-x64-beta.exe";
  const std::wstring updates_ = temp_ / L"Updates";
  InstallerCopySteps steps_;
  std::function<void()> onLock_;
  int locks_ = 0;
  test::ShellRecord shell_;
  std::vector<std::wstring> copyFolder_;
  bool heldInShell_ = false;
};

TEST_F(UpdateInstallerLaunchTest, LaunchesALockedCopyWhileHoldingIt) {
  PlaceInstaller();
  std::string given = test::Utf8(installer_);
  for (char& c : given) c = c == '\\' ? '/' : static_cast<char>(std::toupper(c));
  EXPECT_EQ(Launch(given).first, std::nullopt);
  ASSERT_EQ(shell_.calls, 1);
  // A new folder of its own under Updates, holding the copy alone.
  const std::vector<std::wstring> copies = Entries(updates_);
  ASSERT_EQ(copies.size(), 1u);
  EXPECT_EQ(std::make_tuple(shell_.verb, shell_.directory),
            std::make_tuple(L"runas", updates_ + L"\\" + copies[0]));
  EXPECT_EQ(copyFolder_, std::vector<std::wstring>{L"VELTRIX-VPN-Setup-x64-beta.exe"});
  EXPECT_EQ(locks_, 2) << "the copy and its folder";
  EXPECT_TRUE(heldInShell_);

  // The next launch removes the earlier copy, unless something still uses it.
  const std::wstring earlier = shell_.directory;
  UniqueKernelHandle inUse(::CreateFileW(shell_.file.c_str(), GENERIC_READ, FILE_SHARE_READ,
                                         nullptr, OPEN_EXISTING, 0, nullptr));
  EXPECT_EQ(Launch(given).first, std::nullopt);
  EXPECT_EQ(Entries(updates_).size(), 2u);
  inUse.Reset();
  EXPECT_EQ(Launch(given).first, std::nullopt);
  EXPECT_EQ(Entries(updates_).size(), 1u);
  EXPECT_EQ(::GetFileAttributesW(earlier.c_str()), INVALID_FILE_ATTRIBUTES);
}

// Programs of the same user attack while the copy is made: what they drop
// beside the download is not beside the copy, bytes changed on the way are
// caught by the digest of what was written, and anything put beside the copy
// before it is locked is found; a refused copy is removed.
TEST_F(UpdateInstallerLaunchTest, AttacksOnTheCopyFail) {
  PlaceInstaller();
  steps_.pieceRead = [this](std::span<uint8_t>) {
    test::WriteBytes(updateFolder_ + L"\\version.dll", "MZ planted");
  };
  EXPECT_EQ(LaunchOutcome(), std::nullopt);
  EXPECT_EQ(copyFolder_, std::vector<std::wstring>{L"VELTRIX-VPN-Setup-x64-beta.exe"});
  test::RemoveTree(updates_);
  ASSERT_TRUE(::CreateDirectoryW(updates_.c_str(), nullptr));
  ASSERT_TRUE(::DeleteFileW((updateFolder_ + L"\\version.dll").c_str()));

  steps_.pieceRead = [](std::span<uint8_t> piece) { piece[0] ^= 1; };
  EXPECT_EQ(LaunchOutcome(), InstallerRefusal::kMismatch);
  EXPECT_TRUE(Entries(updates_).empty());
  steps_.pieceRead = nullptr;

  onLock_ = [this] {
    const std::vector<std::wstring> copies = Entries(updates_);
    ASSERT_EQ(copies.size(), 1u);
    test::WriteBytes(updates_ + L"\\" + copies[0] + L"\\version.dll", "MZ planted");
    onLock_ = nullptr;
  };
  EXPECT_EQ(LaunchOutcome(), InstallerRefusal::kUnsafe);
  for (const std::wstring& copy : Entries(updates_)) {
    EXPECT_EQ(Entries(updates_ + L"\\" + copy), std::vector<std::wstring>{L"version.dll"});
  }
  EXPECT_EQ(shell_.calls, 1);
}

// The copy's owner, the user and all their programs, may read, run and
// delete it, but neither write it nor change who may; nothing is inherited.
TEST(LockedCopyTest, OwnerMayNeitherWriteNorChangeTheDacl) {
  PSECURITY_DESCRIPTOR descriptor = nullptr;
  ASSERT_TRUE(::ConvertStringSecurityDescriptorToSecurityDescriptorW(
      kLockedCopySddl, SDDL_REVISION_1, &descriptor, nullptr));
  const UniqueLocalMemory owned(descriptor);
  SECURITY_DESCRIPTOR_CONTROL control = 0;
  DWORD revision = 0;
  BOOL present = FALSE, defaulted = FALSE;
  PACL dacl = nullptr;
  ASSERT_TRUE(::GetSecurityDescriptorControl(descriptor, &control, &revision) &&
              ::GetSecurityDescriptorDacl(descriptor, &present, &dacl, &defaulted) && dacl);
  EXPECT_NE(control & SE_DACL_PROTECTED, 0);
  ASSERT_EQ(dacl->AceCount, 3);
  const std::pair<WELL_KNOWN_SID_TYPE, ACCESS_MASK> grants[] = {
      {WinCreatorOwnerRightsSid, FILE_GENERIC_READ | FILE_GENERIC_EXECUTE | DELETE},
      {WinLocalSystemSid, FILE_ALL_ACCESS},
      {WinBuiltinAdministratorsSid, FILE_ALL_ACCESS}};
  for (DWORD i = 0; i < 3; ++i) {
    void* entry = nullptr;
    ASSERT_TRUE(::GetAce(dacl, i, &entry));
    const auto* allowed = static_cast<const ACCESS_ALLOWED_ACE*>(entry);
    EXPECT_EQ(std::make_pair(allowed->Header.AceType, allowed->Header.AceFlags),
              std::make_pair(BYTE{ACCESS_ALLOWED_ACE_TYPE}, BYTE{0}));
    EXPECT_TRUE(::IsWellKnownSid(const_cast<DWORD*>(&allowed->SidStart), grants[i].first));
    EXPECT_EQ(allowed->Mask, grants[i].second);
  }
}

TEST_F(UpdateInstallerLaunchTest, MissingOrLinkedObjectsAreRefused) {
  EXPECT_EQ(Launch(test::Utf8(installer_)),
            test::Ending(InstallerRefusal::kUnavailable, ERROR_PATH_NOT_FOUND));

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

}  // namespace
}  // namespace veltrix
