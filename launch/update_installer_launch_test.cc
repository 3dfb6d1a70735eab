// The launch in a temporary folder of the test's own (never the user's
// downloads or copies), with the probe beside the test as the installer:
// signed by the build's test publisher, by a look-alike, or not at all. The
// end-to-end suite starts the real installer through the shell and sends
// the plain refusals; these cases reach links, hard links, attacks on the
// copy and on the signature, failing shells and what is held while the shell
// runs.
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
#include "file_safety/file_identity.h"
#include "file_safety/path_checks.h"
#include "file_safety/testing/file_test_support.h"
#include "launch/file_digest.h"

namespace veltrix {
namespace {

using test::ScratchFolder;

std::string Sha256Hex(const std::string& bytes) {
  Win32Result<Sha256> hash = Sha256::Start();
  EXPECT_TRUE(hash->Add({reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size()}));
  return *hash->FinishHex();
}

std::vector<std::wstring> Entries(const std::wstring& folder) {
  std::vector<std::wstring> names;
  for (const auto& entry : std::filesystem::directory_iterator(folder)) {
    names.push_back(entry.path().filename().wstring());
  }
  return names;
}

// A descriptor's DACL in SDDL.
std::wstring Sddl(PSECURITY_DESCRIPTOR descriptor) {
  wchar_t* text = nullptr;
  ::ConvertSecurityDescriptorToStringSecurityDescriptorW(descriptor, SDDL_REVISION_1,
                                                         DACL_SECURITY_INFORMATION, &text, nullptr);
  const UniqueLocalMemory owned(text);
  return text != nullptr ? text : L"?";
}

class UpdateInstallerLaunchTest : public ::testing::Test {
 protected:
  // Every step is noted in order: what is created with which descriptor,
  // the writing, the tightening and the shell.
  void SetUp() override {
    ASSERT_TRUE(::CreateDirectoryW(updates_.c_str(), nullptr));
    steps_.copy.updatesFolder = [this] { return Win32Result<std::wstring>(updates_); };
    steps_.copy.runsElevated = [] { return false; };
    steps_.copy.openRelative = [this](HANDLE folder, std::wstring_view name,
                                      const RelativeOpen& open) {
      if (open.disposition == FILE_CREATE) done_.push_back(L"create " + Sddl(open.descriptor));
      if (open.access == FILE_GENERIC_READ && onReopen_) std::exchange(onReopen_, nullptr)(folder);
      return OpenRelative(folder, name, open);
    };
    steps_.copy.pieceReadForTesting = [this](std::span<uint8_t>) {
      if (done_.back() != L"write") done_.push_back(L"write");
    };
    steps_.copy.tighten = [this](HANDLE folder, PSECURITY_DESCRIPTOR locked) {
      done_.push_back(L"tighten " + Sddl(locked));
      if (onTighten_) onTighten_();
      return DefaultInstallerCopySteps().tighten(folder, locked);
    };
  }

  // The request vouches for whatever is placed.
  void PlaceInstaller(const std::string& bytes = test::ReadProbe(L"launch_probe_signed.exe")) {
    ASSERT_TRUE(::CreateDirectoryW(updateFolder_.c_str(), nullptr));
    ASSERT_TRUE(test::WriteBytes(installer_, bytes));
    placed_ = bytes;
  }

  // Records what the shell is asked and tries to change the copy meanwhile.
  ShellExecuteFunction Shell(BOOL answer = TRUE, DWORD error = 0) {
    return [this, answer, error](SHELLEXECUTEINFOW* info) {
      done_.push_back(L"shell");
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
    steps_.shellExecute = Shell(answer, error);
    return test::Ended(
        LaunchUpdateInstaller(nullptr, {path, Sha256Hex(placed_), placed_.size()}, steps_));
  }
  std::optional<InstallerRefusal> LaunchOutcome() { return Launch(test::Utf8(installer_)).first; }

  ScratchFolder temp_;
  test::ScopedEnvironmentVariable tmp_{L"TMP", temp_.path()};
  const std::wstring updateFolder_ = temp_ / L"VELTRIX-updates";
  const std::wstring installer_ = updateFolder_ + L"\\VELTRIX-VPN-Setup-x64-beta.exe";
  const std::wstring updates_ = temp_ / L"Updates";
  std::string placed_ = "MZ";
  InstallerLaunchSteps steps_;
  std::vector<std::wstring> done_;
  std::function<void()> onTighten_;
  std::function<void(HANDLE folder)> onReopen_;
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
  // Both are born protected: OWNER RIGHTS, the user and all their programs,
  // may read, run and delete (0x1300a9), never write or change the DACL;
  // nothing is inherited. The folder also lets its owner add a file (0x2)
  // until the copy is written. Windows enforces what Wine only passes on.
  const std::wstring locked = L"D:P(A;;0x1300a9;;;OW)(A;;FA;;;SY)(A;;FA;;;BA)";
  EXPECT_EQ(done_, (std::vector<std::wstring>{
                       L"create D:P(A;;0x1300ab;;;OW)(A;;FA;;;SY)(A;;FA;;;BA)", L"create " + locked,
                       L"write", L"tighten " + locked, L"shell"}));
  EXPECT_TRUE(heldInShell_);
  // The verb comes from the machine's class, never from one the user wrote.
  EXPECT_NE(shell_.info.fMask & SEE_MASK_CLASSKEY, 0u);
  EXPECT_TRUE(PathsEqual(shell_.classKey, L"\\REGISTRY\\MACHINE\\SOFTWARE\\Classes\\exefile"));

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
  // An elevated program sweeps nothing.
  steps_.copy.runsElevated = [] { return true; };
  EXPECT_EQ(Launch(given).first, std::nullopt);
  EXPECT_EQ(Entries(updates_).size(), 2u);
}

// Programs of the same user attack while the copy is made: what they drop
// beside the download is not beside the copy, bytes changed on the way are
// caught by the digest of what was written, and anything put beside the copy
// before its folder is tightened is found; a refused copy is removed.
TEST_F(UpdateInstallerLaunchTest, AttacksOnTheCopyFail) {
  PlaceInstaller();
  steps_.copy.pieceReadForTesting = [this](std::span<uint8_t>) {
    test::WriteBytes(updateFolder_ + L"\\version.dll", "MZ planted");
  };
  EXPECT_EQ(LaunchOutcome(), std::nullopt);
  EXPECT_EQ(copyFolder_, std::vector<std::wstring>{L"VELTRIX-VPN-Setup-x64-beta.exe"});
  test::RemoveTree(updates_);
  ASSERT_TRUE(::CreateDirectoryW(updates_.c_str(), nullptr));

  steps_.copy.pieceReadForTesting = [](std::span<uint8_t> piece) { piece[0] ^= 1; };
  EXPECT_EQ(LaunchOutcome(), InstallerRefusal::kMismatch);
  EXPECT_TRUE(Entries(updates_).empty());
  steps_.copy.pieceReadForTesting = nullptr;

  onTighten_ = [this] {
    const std::vector<std::wstring> copies = Entries(updates_);
    ASSERT_EQ(copies.size(), 1u);
    test::WriteBytes(updates_ + L"\\" + copies[0] + L"\\version.dll", "MZ planted");
    onTighten_ = nullptr;
  };
  EXPECT_EQ(LaunchOutcome(), InstallerRefusal::kUnsafe);
  for (const std::wstring& copy : Entries(updates_)) {
    EXPECT_EQ(Entries(updates_ + L"\\" + copy), std::vector<std::wstring>{L"version.dll"});
  }
  // Replaced between the writer's close and the reader's open, which only
  // the DACL forbids: the same bytes, but not the file written.
  onReopen_ = [this](HANDLE folder) {
    const std::wstring copy =
        *DriveLetterForm(*FinalPathOfHandle(folder)) + L"\\" + kInstallerFileName;
    ASSERT_TRUE(test::WriteBytes(copy + L".new", placed_) &&
                ::MoveFileExW((copy + L".new").c_str(), copy.c_str(), MOVEFILE_REPLACE_EXISTING));
  };
  EXPECT_EQ(LaunchOutcome(), InstallerRefusal::kUnsafe);
  EXPECT_EQ(shell_.calls, 1);
}

// Nothing is deleted through a link, whether one stands in place of an old
// copy's folder or of Updates itself.
TEST_F(UpdateInstallerLaunchTest, TheSweepDeletesNothingOutsideUpdates) {
  PlaceInstaller();
  ScratchFolder elsewhere;
  const std::wstring oldCopy = elsewhere / L"0123456789abcdef0123456789abcdef";
  const std::wstring victim = oldCopy + L"\\" + kInstallerFileName;
  ASSERT_TRUE(::CreateDirectoryW(oldCopy.c_str(), nullptr) && test::WriteBytes(victim, "MZ"));
  if (!test::MakeSymbolicLink(updates_ + L"\\fedcba9876543210fedcba9876543210", oldCopy, true)) {
    GTEST_SKIP() << "no symbolic links here";
  }
  EXPECT_EQ(LaunchOutcome(), std::nullopt);
  test::RemoveTree(updates_);
  ASSERT_TRUE(test::MakeSymbolicLink(updates_, elsewhere.path(), true));
  EXPECT_EQ(LaunchOutcome(), InstallerRefusal::kUnsafe);
  EXPECT_EQ(test::ReadBytes(victim), "MZ");
}

// Whatever the request vouches for, only what our publisher signed runs
// elevated; each of these has the request's size and digest.
TEST_F(UpdateInstallerLaunchTest, OnlyOurPublishersInstallerRuns) {
  std::string changed = test::ReadProbe(L"launch_probe_signed.exe");
  changed[changed.size() / 2] ^= 1;
  for (const auto& [bytes, what] :
       {std::pair(test::ReadProbe(L"launch_probe.exe"), "unsigned"),
        std::pair(test::ReadProbe(L"launch_probe_look_alike.exe"), "look-alike"),
        std::pair(changed, "changed after signing")}) {
    test::RemoveTree(updateFolder_);
    PlaceInstaller(bytes);
    EXPECT_EQ(LaunchOutcome(), InstallerRefusal::kMismatch) << what;
    EXPECT_TRUE(Entries(updates_).empty()) << what << ": the copy is removed";
  }
  EXPECT_EQ(shell_.calls, 0);
}

TEST_F(UpdateInstallerLaunchTest, MissingOrLinkedObjectsAreRefused) {
  EXPECT_EQ(Launch(test::Utf8(installer_)),
            test::Ending(InstallerRefusal::kUnavailable, ERROR_PATH_NOT_FOUND));

  ScratchFolder elsewhere;
  PlaceInstaller();
  ASSERT_TRUE(::CreateHardLinkW((elsewhere / L"copy.exe").c_str(), installer_.c_str(), nullptr));
  EXPECT_EQ(LaunchOutcome(), InstallerRefusal::kUnsafe) << "second hard link";
  test::RemoveTree(updateFolder_);
  PlaceInstaller("");
  EXPECT_EQ(LaunchOutcome(), InstallerRefusal::kUnsafe) << "empty file";
  test::RemoveTree(updateFolder_);

  const std::wstring real = elsewhere / L"VELTRIX-VPN-Setup-x64-beta.exe";
  ASSERT_TRUE(test::WriteBytes(real, placed_));
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
