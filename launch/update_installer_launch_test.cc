#include "launch/update_installer_launch.h"

#include <gtest/gtest.h>

#include <cwctype>
#include <string>

#include "launch/file_identity.h"
#include "launch/launch_test_support.h"

namespace veltrix {
namespace {

using test::RecordingResult;
using test::ScratchFolder;

const HWND kOwner = reinterpret_cast<HWND>(static_cast<uintptr_t>(0x5150));

// What the shell was asked, and what could be done to the files meanwhile.
struct ShellCall {
  int calls = 0;
  SHELLEXECUTEINFOW info{};
  std::wstring verb;
  std::wstring file;
  std::wstring directory;
  bool parametersNull = false;
  DWORD deleteInstallerError = 0;
  DWORD writeInstallerError = 0;
  bool updateFolderRemoved = true;
  bool updateFolderMoved = true;
};

std::wstring Text(const wchar_t* text) { return text != nullptr ? text : L""; }

class UpdateInstallerLaunchTest : public ::testing::Test {
 protected:
  void SetUp() override {
    temp_ = test::TempFolder();
    updateFolder_ = temp_ + L"VELTRIX-updates";
    installer_ = updateFolder_ + L"\\VELTRIX-VPN-Setup-x64-beta.exe";
    test::RemoveTree(updateFolder_);
  }
  void TearDown() override { test::RemoveTree(updateFolder_); }

  // Puts an installer with these bytes in place and remembers its digest.
  void PlaceInstaller(const std::string& bytes) {
    ASSERT_TRUE(::CreateDirectoryW(updateFolder_.c_str(), nullptr));
    ASSERT_TRUE(test::WriteBytes(installer_, bytes));
    bytes_ = bytes;
    digest_ = test::Sha256Hex(bytes);
  }

  // A shell call that records and probes instead of launching.
  ShellExecuteFunction RecordingShell(BOOL answer = TRUE, DWORD error = 0) {
    return [this, answer, error](SHELLEXECUTEINFOW* info) {
      ++shell_.calls;
      shell_.info = *info;
      shell_.verb = Text(info->lpVerb);
      shell_.file = Text(info->lpFile);
      shell_.directory = Text(info->lpDirectory);
      shell_.parametersNull = info->lpParameters == nullptr;
      shell_.deleteInstallerError =
          ::DeleteFileW(installer_.c_str()) ? ERROR_SUCCESS : ::GetLastError();
      shell_.writeInstallerError = test::WriteOpenError(installer_);
      shell_.updateFolderRemoved = ::RemoveDirectoryW(updateFolder_.c_str()) != FALSE;
      shell_.updateFolderMoved =
          ::MoveFileW(updateFolder_.c_str(), (temp_ + L"VELTRIX-moved").c_str()) != FALSE;
      ::SetLastError(error);
      return answer;
    };
  }

  void Launch(const std::string& path, RecordingResult& result) {
    LaunchUpdateInstaller(kOwner, path, digest_, bytes_.size(), result, RecordingShell());
  }

  void ExpectError(const RecordingResult& result, const char* code, const char* message) {
    EXPECT_EQ(result.replies, 1);
    EXPECT_FALSE(result.success);
    EXPECT_EQ(result.code, code);
    EXPECT_EQ(result.message, message);
  }

  std::wstring temp_;
  std::wstring updateFolder_;
  std::wstring installer_;
  std::string bytes_ = "MZ installer";
  std::string digest_ = test::Sha256Hex("MZ installer");
  ShellCall shell_;
};

// The installer path as a caller might write it: other letter case, '/'.
std::string MixedSpelling(const std::wstring& path) {
  std::wstring text = path;
  for (size_t i = 0; i < text.size(); ++i) {
    if (text[i] == L'\\') {
      text[i] = L'/';
    } else if (i % 2 == 0) {
      text[i] = static_cast<wchar_t>(std::towupper(text[i]));
    } else {
      text[i] = static_cast<wchar_t>(std::towlower(text[i]));
    }
  }
  return test::Utf8(text);
}

TEST_F(UpdateInstallerLaunchTest, LaunchesTheBuiltPathWhileHoldingEverything) {
  PlaceInstaller("MZ the release bytes");
  const std::string given = MixedSpelling(installer_);
  ASSERT_NE(test::Wide(given), installer_);

  RecordingResult result;
  DWORD writeErrorAtReply = 0;
  result.onReply = [&] { writeErrorAtReply = test::WriteOpenError(installer_); };
  LaunchUpdateInstaller(kOwner, given, digest_, bytes_.size(), result, RecordingShell());

  EXPECT_EQ(result.replies, 1);
  EXPECT_TRUE(result.success) << result.code << " " << result.message;
  ASSERT_EQ(shell_.calls, 1);
  EXPECT_EQ(shell_.info.cbSize, 112u);
  EXPECT_EQ(shell_.info.fMask, 0x140u);
  EXPECT_EQ(shell_.info.hwnd, kOwner);
  EXPECT_EQ(shell_.verb, L"runas");
  EXPECT_EQ(shell_.file, installer_);  // built from the temporary folder, not the caller's text
  EXPECT_TRUE(shell_.parametersNull);
  EXPECT_EQ(shell_.directory, updateFolder_);
  EXPECT_EQ(shell_.info.nShow, SW_SHOWNORMAL);
  EXPECT_EQ(shell_.info.lpIDList, nullptr);
  EXPECT_EQ(shell_.info.lpClass, nullptr);
  EXPECT_EQ(shell_.info.hkeyClass, nullptr);
  EXPECT_EQ(shell_.info.dwHotKey, 0u);
  EXPECT_EQ(shell_.info.hProcess, nullptr);

  // During the launch and at the reply nothing could replace the installer.
  EXPECT_EQ(shell_.deleteInstallerError, static_cast<DWORD>(ERROR_SHARING_VIOLATION));
  EXPECT_EQ(shell_.writeInstallerError, static_cast<DWORD>(ERROR_SHARING_VIOLATION));
  EXPECT_FALSE(shell_.updateFolderRemoved);
  EXPECT_FALSE(shell_.updateFolderMoved);
  EXPECT_EQ(writeErrorAtReply, static_cast<DWORD>(ERROR_SHARING_VIOLATION));

  // Afterwards everything is released.
  EXPECT_TRUE(::DeleteFileW(installer_.c_str()));
  EXPECT_TRUE(::RemoveDirectoryW(updateFolder_.c_str()));
}

TEST_F(UpdateInstallerLaunchTest, ClosesTheReturnedProcessHandle) {
  PlaceInstaller("MZ");
  HANDLE process = nullptr;
  ASSERT_TRUE(::DuplicateHandle(::GetCurrentProcess(), ::GetCurrentProcess(), ::GetCurrentProcess(),
                                &process, 0, FALSE, DUPLICATE_SAME_ACCESS));
  RecordingResult result;
  LaunchUpdateInstaller(kOwner, test::Utf8(installer_), digest_, bytes_.size(), result,
                        [process](SHELLEXECUTEINFOW* info) {
                          info->hProcess = process;
                          return TRUE;
                        });
  EXPECT_TRUE(result.success);
  DWORD flags = 0;
  EXPECT_FALSE(::GetHandleInformation(process, &flags));
}

TEST_F(UpdateInstallerLaunchTest, OtherPathsAreRefusedBeforeOpeningAnything) {
  PlaceInstaller("MZ");
  ScratchFolder elsewhere;
  ASSERT_TRUE(::CreateDirectoryW((elsewhere / L"VELTRIX-updates").c_str(), nullptr));
  const std::wstring sameNameElsewhere =
      elsewhere / L"VELTRIX-updates\\VELTRIX-VPN-Setup-x64-beta.exe";
  ASSERT_TRUE(test::WriteBytes(sameNameElsewhere, "MZ"));

  const std::wstring wrong[] = {
      sameNameElsewhere,
      updateFolder_,
      installer_ + L".exe",
      updateFolder_ + L"\\veltrix-vpn-setup-x64.exe",
      temp_ + L"VELTRIX-updates2\\VELTRIX-VPN-Setup-x64-beta.exe",
      updateFolder_ + L"\\sub\\VELTRIX-VPN-Setup-x64-beta.exe",
      temp_ + L"VELTRIX-VPN-Setup-x64-beta.exe",
  };
  for (const std::wstring& path : wrong) {
    RecordingResult result;
    Launch(test::Utf8(path), result);
    ExpectError(result, "invalid_installer_path", "Installer must be in VELTRIX-updates.");
  }
  EXPECT_EQ(shell_.calls, 0);
}

TEST_F(UpdateInstallerLaunchTest, UnusablePathTextIsRefused) {
  PlaceInstaller("MZ");
  const std::string installer = test::Utf8(installer_);
  const std::string unusable[] = {
      "",
      installer + "\\",
      std::string(installer).insert(3, std::string(1, '\0')),
      installer.substr(0, installer.size() - 4) + "\xff.exe",
      test::Utf8(updateFolder_ + L"\\..\\VELTRIX-updates\\VELTRIX-VPN-Setup-x64-beta.exe"),
      test::Utf8(updateFolder_ + L"\\.\\VELTRIX-VPN-Setup-x64-beta.exe"),
      test::Utf8(L"\\\\?\\" + installer_),
      "\\\\server\\share\\VELTRIX-updates\\VELTRIX-VPN-Setup-x64-beta.exe",
      installer + ":stream",
  };
  for (const std::string& path : unusable) {
    RecordingResult result;
    Launch(path, result);
    ExpectError(result, "invalid_installer_path", "Invalid update installer path.");
  }
  EXPECT_EQ(shell_.calls, 0);
}

TEST_F(UpdateInstallerLaunchTest, TemporaryFolderOffTheDrivesRefusesEverything) {
  test::ScopedEnvironmentVariable tmp(L"TMP", L"\\\\server\\share\\temp");
  test::ScopedEnvironmentVariable tmp2(L"TEMP", L"\\\\server\\share\\temp");
  if (test::TempFolder() != L"\\\\server\\share\\temp\\") GTEST_SKIP() << "TMP is not honoured";
  RecordingResult sameForm;
  Launch("\\\\server\\share\\temp\\VELTRIX-updates\\VELTRIX-VPN-Setup-x64-beta.exe", sameForm);
  ExpectError(sameForm, "invalid_installer_path", "Invalid update installer path.");
  RecordingResult drivePath;
  Launch(test::Utf8(installer_), drivePath);
  ExpectError(drivePath, "invalid_installer_path", "Installer must be in VELTRIX-updates.");
}

TEST_F(UpdateInstallerLaunchTest, MissingObjectsReportTheFailedOpen) {
  RecordingResult noFolder;
  Launch(test::Utf8(installer_), noFolder);
  ExpectError(noFolder, "installer_unavailable", "Update installer is unavailable.");
  EXPECT_EQ(noFolder.details, ERROR_PATH_NOT_FOUND);

  ASSERT_TRUE(::CreateDirectoryW(updateFolder_.c_str(), nullptr));
  RecordingResult noFile;
  Launch(test::Utf8(installer_), noFile);
  ExpectError(noFile, "installer_unavailable", "Update installer is unavailable.");
  EXPECT_EQ(noFile.details, ERROR_FILE_NOT_FOUND);

  // A folder is never opened as the installer.
  ASSERT_TRUE(::CreateDirectoryW(installer_.c_str(), nullptr));
  RecordingResult folderInstead;
  Launch(test::Utf8(installer_), folderInstead);
  ExpectError(folderInstead, "installer_unavailable", "Update installer is unavailable.");
  ASSERT_TRUE(folderInstead.details.has_value());
  EXPECT_NE(*folderInstead.details, 0);
  EXPECT_EQ(shell_.calls, 0);
}

TEST_F(UpdateInstallerLaunchTest, LinkedUpdateFolderIsUnsafe) {
  ScratchFolder elsewhere;
  ASSERT_TRUE(test::WriteBytes(elsewhere / L"VELTRIX-VPN-Setup-x64-beta.exe", bytes_));
  if (!test::MakeSymbolicLink(updateFolder_, elsewhere.path(), true)) {
    GTEST_SKIP() << "no symbolic links here";
  }
  RecordingResult result;
  Launch(test::Utf8(installer_), result);
  ExpectError(result, "invalid_installer_path", "Unsafe update installer path.");
  EXPECT_EQ(shell_.calls, 0);
}

TEST_F(UpdateInstallerLaunchTest, LinkedInstallerIsUnsafe) {
  ScratchFolder elsewhere;
  const std::wstring real = elsewhere / L"VELTRIX-VPN-Setup-x64-beta.exe";
  ASSERT_TRUE(test::WriteBytes(real, bytes_));
  ASSERT_TRUE(::CreateDirectoryW(updateFolder_.c_str(), nullptr));
  if (!test::MakeSymbolicLink(installer_, real, false)) GTEST_SKIP() << "no symbolic links here";
  RecordingResult result;
  Launch(test::Utf8(installer_), result);
  ExpectError(result, "invalid_installer_path", "Unsafe update installer path.");
  EXPECT_EQ(shell_.calls, 0);
}

TEST_F(UpdateInstallerLaunchTest, SecondHardLinkIsUnsafe) {
  PlaceInstaller("MZ");
  ScratchFolder elsewhere;
  ASSERT_TRUE(::CreateHardLinkW((elsewhere / L"copy.exe").c_str(), installer_.c_str(), nullptr));
  RecordingResult result;
  Launch(test::Utf8(installer_), result);
  ExpectError(result, "invalid_installer_path", "Unsafe update installer path.");
  EXPECT_EQ(shell_.calls, 0);
}

TEST_F(UpdateInstallerLaunchTest, EmptyInstallerIsUnsafe) {
  PlaceInstaller("");
  RecordingResult result;
  LaunchUpdateInstaller(kOwner, test::Utf8(installer_), test::Sha256Hex(""), 1, result,
                        RecordingShell());
  ExpectError(result, "invalid_installer_path", "Unsafe update installer path.");
  EXPECT_EQ(shell_.calls, 0);
}

TEST_F(UpdateInstallerLaunchTest, WrongBytesFailVerification) {
  PlaceInstaller("MZ the release bytes");
  const std::string path = test::Utf8(installer_);
  struct Claim {
    std::string digest;
    uint64_t size;
  };
  const Claim claims[] = {
      {test::Sha256Hex("MZ other bytes"), bytes_.size()},
      {digest_, bytes_.size() - 1},
      {digest_, bytes_.size() + 1},
  };
  for (const Claim& claim : claims) {
    RecordingResult result;
    LaunchUpdateInstaller(kOwner, path, claim.digest, claim.size, result, RecordingShell());
    ExpectError(result, "installer_verification_failed",
                "Installer bytes do not match the verified release.");
  }
  EXPECT_EQ(shell_.calls, 0);
  // A failed check leaves the download where it is, and releases it.
  EXPECT_EQ(test::ReadBytes(installer_), bytes_);
  EXPECT_TRUE(::DeleteFileW(installer_.c_str()));
}

TEST_F(UpdateInstallerLaunchTest, ShellFailuresCarryTheirCode) {
  PlaceInstaller("MZ");
  struct Failure {
    DWORD error;
    const char* code;
  };
  for (const Failure& failure : {Failure{ERROR_CANCELLED, "installer_cancelled"},
                                 Failure{ERROR_FILE_NOT_FOUND, "installer_launch_failed"},
                                 Failure{ERROR_ACCESS_DENIED, "installer_launch_failed"}}) {
    RecordingResult result;
    LaunchUpdateInstaller(kOwner, test::Utf8(installer_), digest_, bytes_.size(), result,
                          RecordingShell(FALSE, failure.error));
    ExpectError(result, failure.code, "Could not launch the update installer.");
    EXPECT_EQ(result.details, failure.error);
    EXPECT_EQ(test::WriteOpenError(installer_), static_cast<DWORD>(ERROR_SUCCESS));
  }
}

TEST_F(UpdateInstallerLaunchTest, TemporaryFolderReachedThroughALinkIsTheAnchor) {
  ScratchFolder real;
  ScratchFolder links;
  const std::wstring linkedTemp = links / L"linked-temp";
  if (!test::MakeSymbolicLink(linkedTemp, real.path(), true)) {
    GTEST_SKIP() << "no symbolic links here";
  }
  test::ScopedEnvironmentVariable tmp(L"TMP", linkedTemp);
  ASSERT_EQ(test::TempFolder(), linkedTemp + L"\\");
  ASSERT_TRUE(::CreateDirectoryW((real / L"VELTRIX-updates").c_str(), nullptr));
  ASSERT_TRUE(test::WriteBytes(real / L"VELTRIX-updates\\VELTRIX-VPN-Setup-x64-beta.exe", bytes_));

  RecordingResult result;
  const std::wstring expected = linkedTemp + L"\\VELTRIX-updates\\VELTRIX-VPN-Setup-x64-beta.exe";
  Launch(test::Utf8(expected), result);
  EXPECT_TRUE(result.success) << result.code << " " << result.message;
  EXPECT_EQ(shell_.file, expected);
}

// The one launch through the real shell: a probe program stands in for the
// installer and records how it was started.
TEST_F(UpdateInstallerLaunchTest, RealLaunchStartsTheVerifiedFile) {
  const std::wstring probe = test::ProgramFolder() + L"\\launch_probe.exe";
  const std::string probeBytes = test::ReadBytes(probe);
  ASSERT_FALSE(probeBytes.empty());
  PlaceInstaller(probeBytes);
  ScratchFolder records;
  const std::wstring record = records / L"record.txt";
  test::ScopedEnvironmentVariable recordVariable(L"VELTRIX_PROBE_RECORD", record);

  RecordingResult result;
  LaunchUpdateInstaller(nullptr, MixedSpelling(installer_), digest_, bytes_.size(), result);
  ASSERT_TRUE(result.success) << result.code << " " << result.message;

  std::string recorded;
  for (int i = 0; i < 300 && recorded.empty(); ++i) {
    ::Sleep(50);
    recorded = test::ReadBytes(record);
  }
  ASSERT_FALSE(recorded.empty()) << "the probe did not run";
  const size_t first = recorded.find('\n');
  const size_t second = recorded.find('\n', first + 1);
  ASSERT_NE(second, std::string::npos);
  const std::wstring module = test::Wide(recorded.substr(0, first));
  const std::wstring commandLine = test::Wide(recorded.substr(first + 1, second - first - 1));
  const std::wstring folder = test::Wide(recorded.substr(second + 1, recorded.size() - second - 2));
  EXPECT_TRUE(PathsEqual(module, installer_)) << test::Utf8(module);
  EXPECT_NE(commandLine.find(installer_), std::wstring::npos) << test::Utf8(commandLine);
  EXPECT_TRUE(PathsEqual(folder, updateFolder_)) << test::Utf8(folder);

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
