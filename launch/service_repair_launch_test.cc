#include "launch/service_repair_launch.h"

#include <gtest/gtest.h>

#include <sddl.h>
#include <shlobj.h>

#include <cstring>
#include <cwchar>
#include <cwctype>
#include <string>
#include <vector>

#include "launch/file_identity.h"
#include "launch/launch_test_support.h"

namespace veltrix {
namespace {

using test::ScratchFolder;

const std::wstring kTrustedInstaller =
    L"S-1-5-80-956008885-3418522649-1831038044-1853292631-2271478464";
// Typical of Program Files: full control for the system and administrators,
// read and execute for everyone else, full control for the creator's children.
const std::wstring kStrictDacl =
    L"D:P(A;;FA;;;SY)(A;;FA;;;BA)(A;;0x1200a9;;;BU)(A;;0x1200a9;;;AU)(A;OICIIO;GA;;;CO)";
const std::string kNotInstalled = "repair_requires_installer|Install the official EXE first.";
const std::string kUnavailable =
    "repair_requires_installer|Protected repair component is unavailable.";

bool TrustedInstallerLookupWorks() {
  BYTE sid[SECURITY_MAX_SID_SIZE];
  DWORD sidBytes = sizeof(sid);
  wchar_t domain[256];
  DWORD domainUnits = 256;
  SID_NAME_USE use;
  return ::LookupAccountNameW(nullptr, L"NT SERVICE\\TrustedInstaller", sid, &sidBytes, domain,
                              &domainUnits, &use) != FALSE;
}

// The policy's verdict on the owner and DACL of a descriptor written in SDDL.
bool PolicyAllows(const std::wstring& sddl) {
  PSECURITY_DESCRIPTOR descriptor = nullptr;
  if (!::ConvertStringSecurityDescriptorToSecurityDescriptorW(sddl.c_str(), SDDL_REVISION_1,
                                                              &descriptor, nullptr)) {
    ADD_FAILURE() << "unparsed: " << test::Utf8(sddl);
    return false;
  }
  UniqueLocalMemory memory(descriptor);
  PSID owner = nullptr;
  PACL dacl = nullptr;
  BOOL present = FALSE;
  BOOL defaulted = FALSE;
  ::GetSecurityDescriptorOwner(descriptor, &owner, &defaulted);
  ::GetSecurityDescriptorDacl(descriptor, &present, &dacl, &defaulted);
  return IsProtectedObjectSecurity(owner, present ? dacl : nullptr);
}

std::wstring Hex(DWORD value) {
  wchar_t text[16];
  ::swprintf(text, 16, L"0x%lx", static_cast<unsigned long>(value));
  return text;
}

TEST(ProtectedObjectSecurityTest, OwnerMustBeTrustedAndDaclPresent) {
  const bool trustedInstaller = TrustedInstallerLookupWorks();
  const struct {
    std::wstring sddl;
    bool allowed;
  } cases[] = {
      {L"O:SY" + kStrictDacl, true},
      {L"O:BA" + kStrictDacl, true},
      {L"O:" + kTrustedInstaller + kStrictDacl, trustedInstaller},
      {L"O:BU" + kStrictDacl, false},
      {L"O:WD" + kStrictDacl, false},
      {L"O:S-1-5-21-0-0-0-1000" + kStrictDacl, false},
      {L"O:S-1-5-80-1-2-3-4-5" + kStrictDacl, false},  // some other service
      {kStrictDacl, false},                            // no owner at all
      // Wine's parser turns NO_ACCESS_CONTROL into an empty DACL; leaving the
      // DACL out gives the null one, which grants everyone everything.
      {L"O:SY", false},
      {L"O:SYD:", true},  // an empty DACL grants nothing
      {L"O:SYD:(A;;FA;;;" + kTrustedInstaller + L")", trustedInstaller},
      // An inherited (but not inherit-only) entry counts like any other.
      {L"O:SYD:AI(A;OICIID;0x2;;;BU)", false},
  };
  for (const auto& c : cases) EXPECT_EQ(PolicyAllows(c.sddl), c.allowed) << test::Utf8(c.sddl);
  BYTE notASid[12] = {9, 1, 0, 0, 0, 0, 0, 5, 18, 0, 0, 0};  // revision 9
  EXPECT_FALSE(IsTrustedOwnerSid(notASid));
}

TEST(ProtectedObjectSecurityTest, WriteRightsAreReservedForTrustedPrincipals) {
  const DWORD writeRights[] = {0x2,     0x4,     0x10,    0x40,       0x100,
                               0x10000, 0x40000, 0x80000, 0x10000000, 0x40000000};
  for (DWORD right : writeRights) {
    const std::wstring mask = Hex(right);
    for (const wchar_t* who : {L"BU", L"AU"}) {
      const std::wstring entry = mask + L";;;" + who + L")";
      SCOPED_TRACE(test::Utf8(entry));
      EXPECT_FALSE(PolicyAllows(L"O:SY" + kStrictDacl + L"(A;;" + entry));
      // Only allowing entries that apply to the object itself count.
      EXPECT_TRUE(PolicyAllows(L"O:SY" + kStrictDacl + L"(A;OICIIO;" + entry));
      EXPECT_TRUE(PolicyAllows(L"O:SY" + kStrictDacl + L"(D;;" + entry));
    }
    EXPECT_TRUE(PolicyAllows(L"O:SYD:(A;;" + mask + L";;;SY)(A;;" + mask + L";;;BA)"));
  }
  const DWORD readRights[] = {0x1,     0x8,      0x20,     0x80,       0x200,     0x400,
                              0x20000, 0x100000, 0x1200a9, 0x20000000, 0x80000000};
  for (DWORD right : readRights) {
    const std::wstring mask = Hex(right);
    EXPECT_TRUE(PolicyAllows(L"O:SYD:(A;;" + mask + L";;;BU)(A;;" + mask + L";;;WD)")) << right;
  }
}

// A DACL with one entry giving the system read rights, in a form SDDL cannot
// always spell. Object forms carry flags and an object type before the SID.
bool SystemReadEntryAllowed(BYTE type, BYTE flags) {
  BYTE system[SECURITY_MAX_SID_SIZE];
  DWORD sidBytes = sizeof(system);
  EXPECT_TRUE(::CreateWellKnownSid(WinLocalSystemSid, nullptr, system, &sidBytes));
  const bool objectForm =
      type == ACCESS_ALLOWED_OBJECT_ACE_TYPE || type == ACCESS_ALLOWED_CALLBACK_OBJECT_ACE_TYPE;
  std::vector<BYTE> ace(sizeof(ACE_HEADER) + sizeof(ACCESS_MASK) +
                        (objectForm ? sizeof(DWORD) + sizeof(GUID) : 0));
  const ACCESS_MASK mask = FILE_GENERIC_READ;
  std::memcpy(&ace[sizeof(ACE_HEADER)], &mask, sizeof(mask));
  if (objectForm) ace[sizeof(ACE_HEADER) + sizeof(mask)] = ACE_OBJECT_TYPE_PRESENT;
  ace.insert(ace.end(), system, system + sidBytes);
  *reinterpret_cast<ACE_HEADER*>(ace.data()) = {type, flags, static_cast<WORD>(ace.size())};

  std::vector<BYTE> acl(sizeof(ACL) + ace.size());
  const PACL dacl = reinterpret_cast<PACL>(acl.data());
  EXPECT_TRUE(::InitializeAcl(dacl, static_cast<DWORD>(acl.size()), ACL_REVISION_DS));
  EXPECT_TRUE(
      ::AddAce(dacl, ACL_REVISION_DS, MAXDWORD, ace.data(), static_cast<DWORD>(ace.size())));
  return IsProtectedObjectSecurity(system, dacl);
}

TEST(ProtectedObjectSecurityTest, OtherEntryTypesAreRefusedEvenWhenHarmless) {
  const struct {
    BYTE type;
    BYTE flags;
    bool allowed;
  } cases[] = {
      {ACCESS_ALLOWED_ACE_TYPE, 0, true},
      {ACCESS_DENIED_ACE_TYPE, 0, true},
      {ACCESS_ALLOWED_OBJECT_ACE_TYPE, 0, false},
      {ACCESS_ALLOWED_CALLBACK_ACE_TYPE, 0, false},
      {ACCESS_ALLOWED_CALLBACK_OBJECT_ACE_TYPE, 0, false},
      {ACCESS_DENIED_CALLBACK_ACE_TYPE, 0, false},
      {SYSTEM_MANDATORY_LABEL_ACE_TYPE, 0, false},
      {ACCESS_ALLOWED_CALLBACK_ACE_TYPE, INHERIT_ONLY_ACE | OBJECT_INHERIT_ACE, true},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(SystemReadEntryAllowed(c.type, c.flags), c.allowed) << int{c.type};
  }
}

// --- The launch, with its surroundings replaced where Wine cannot help. ---

// True when the folder could be moved away (and it is put back).
bool MoveAndRestore(const std::wstring& folder) {
  if (!::MoveFileW(folder.c_str(), (folder + L"-moved").c_str())) return false;
  EXPECT_TRUE(::MoveFileW((folder + L"-moved").c_str(), folder.c_str()));
  return true;
}

class ServiceRepairLaunchTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(::CreateDirectoryW(programFiles_.c_str(), nullptr));
    ASSERT_TRUE(::CreateDirectoryW(installFolder_.c_str(), nullptr));
    ASSERT_TRUE(test::WriteBytes(host_, "MZ host"));
    ASSERT_TRUE(test::WriteBytes(helper_, "MZ helper"));
    environment_.programFilesFolder = [this] { return programFiles_; };
    environment_.runningProgramPath = [this] { return running_; };
    environment_.securityPolicy = [this](PSID owner, PACL) {
      ++policyCalls_;
      EXPECT_NE(owner, nullptr);
      return policyCalls_ != refuseAtPolicyCall_;
    };
    environment_.shellExecute = Shell(TRUE, 0);
  }

  // Records what the shell is asked and tries to replace the helper meanwhile.
  ShellExecuteFunction Shell(BOOL answer, DWORD error, HANDLE process = nullptr) {
    return [this, answer, error, process](SHELLEXECUTEINFOW* info) {
      shell_.Take(*info);
      deleteErrorInShell_ = ::DeleteFileW(helper_.c_str()) ? ERROR_SUCCESS : ::GetLastError();
      writeErrorInShell_ = test::WriteOpenError(helper_);
      folderMovedInShell_ = MoveAndRestore(installFolder_);
      info->hProcess = process;
      ::SetLastError(error);
      return answer;
    };
  }

  // The one reply; at that moment every handle must already be closed.
  std::string Launch(HWND owner = nullptr) {
    test::RecordingResult result;
    result.onReply = [this] {
      EXPECT_NE(test::WriteOpenError(helper_), static_cast<DWORD>(ERROR_SHARING_VIOLATION));
      EXPECT_TRUE(!moveAtReply_ || MoveAndRestore(installFolder_));
    };
    LaunchServiceRepair(owner, result, environment_);
    EXPECT_EQ(result.replies, 1);
    return result.reply;
  }

  ScratchFolder root_;
  const std::wstring programFiles_ = root_ / L"Program Files";
  const std::wstring installFolder_ = programFiles_ + L"\\VELTRIX VPN";
  const std::wstring helper_ = installFolder_ + L"\\veltrix_vpn_helper.exe";
  const std::wstring host_ = installFolder_ + L"\\VELTRIX VPN.exe";
  std::wstring running_ = host_;
  ServiceRepairEnvironment environment_;
  bool moveAtReply_ = true;  // Wine cannot move a linked folder back
  int policyCalls_ = 0;
  int refuseAtPolicyCall_ = 0;
  test::ShellRecord shell_;
  DWORD deleteErrorInShell_ = 0;
  DWORD writeErrorInShell_ = 0;
  bool folderMovedInShell_ = true;
};

TEST_F(ServiceRepairLaunchTest, LaunchesTheHelperHiddenAndRepliesAfterClosing) {
  const HWND owner = reinterpret_cast<HWND>(static_cast<uintptr_t>(0x7070));
  HANDLE process = nullptr;
  ASSERT_TRUE(::DuplicateHandle(::GetCurrentProcess(), ::GetCurrentProcess(), ::GetCurrentProcess(),
                                &process, 0, FALSE, DUPLICATE_SAME_ACCESS));
  environment_.shellExecute = Shell(TRUE, 0, process);
  EXPECT_EQ(Launch(owner), "success");

  EXPECT_EQ(policyCalls_, 3);
  ASSERT_EQ(shell_.calls, 1);
  EXPECT_EQ(shell_.info.cbSize, 112u);
  EXPECT_EQ(shell_.info.fMask, 0x140u);  // no close process, no async
  EXPECT_EQ(shell_.info.hwnd, owner);
  EXPECT_EQ(shell_.verb, L"runas");
  EXPECT_EQ(shell_.file, helper_);
  EXPECT_EQ(shell_.parameters, L"--repair-service");
  EXPECT_EQ(shell_.directory, installFolder_);
  EXPECT_EQ(shell_.info.nShow, SW_HIDE);
  // While the shell runs nothing checked can be replaced.
  EXPECT_EQ(deleteErrorInShell_, static_cast<DWORD>(ERROR_SHARING_VIOLATION));
  EXPECT_EQ(writeErrorInShell_, static_cast<DWORD>(ERROR_SHARING_VIOLATION));
  EXPECT_FALSE(folderMovedInShell_);
  DWORD flags = 0;
  EXPECT_FALSE(::GetHandleInformation(process, &flags)) << "the process handle is closed";
}

TEST_F(ServiceRepairLaunchTest, OnlyTheInstalledProgramMayRepair) {
  std::wstring upperCase = host_;
  for (wchar_t& c : upperCase) c = static_cast<wchar_t>(std::towupper(c));
  running_ = upperCase;
  EXPECT_EQ(Launch(), "success");

  for (const std::wstring& running :
       {root_ / L"VELTRIX VPN.exe", installFolder_ + L"\\VELTRIX VPN (2).exe", helper_,
        host_ + L" ", std::wstring()}) {
    running_ = running;
    EXPECT_EQ(Launch(), kNotInstalled) << test::Utf8(running);
  }
  running_ = L"\\VELTRIX VPN\\VELTRIX VPN.exe";
  environment_.programFilesFolder = [] { return std::wstring(); };
  EXPECT_EQ(Launch(), kNotInstalled);
  EXPECT_EQ(policyCalls_, 3) << "nothing more may be opened";
  EXPECT_EQ(shell_.calls, 1);
}

TEST_F(ServiceRepairLaunchTest, EachObjectIsExaminedCompletelyInTurn) {
  for (refuseAtPolicyCall_ = 1; refuseAtPolicyCall_ <= 3; ++refuseAtPolicyCall_) {
    policyCalls_ = 0;
    EXPECT_EQ(Launch(), kUnavailable);
    EXPECT_EQ(policyCalls_, refuseAtPolicyCall_);
  }
  environment_.securityPolicy = IsProtectedObjectSecurity;  // refuses a user-owned tree
  EXPECT_EQ(Launch(), kUnavailable);
  EXPECT_EQ(shell_.calls, 0);
}

TEST_F(ServiceRepairLaunchTest, MissingSharedOrLinkedHelperIsUnavailable) {
  ASSERT_TRUE(::CreateHardLinkW((root_ / L"helper-copy.exe").c_str(), helper_.c_str(), nullptr));
  EXPECT_EQ(Launch(), kUnavailable) << "second hard link";
  ASSERT_TRUE(::DeleteFileW(helper_.c_str()));
  EXPECT_EQ(Launch(), kUnavailable) << "missing";
  ASSERT_TRUE(::CreateDirectoryW(helper_.c_str(), nullptr));
  EXPECT_EQ(Launch(), kUnavailable) << "a folder";
  ASSERT_TRUE(::RemoveDirectoryW(helper_.c_str()));
  EXPECT_EQ(shell_.calls, 0);

  if (!test::MakeSymbolicLink(helper_, root_ / L"helper-copy.exe", false)) {
    GTEST_SKIP() << "no symbolic links here";
  }
  EXPECT_EQ(Launch(), kUnavailable) << "linked helper";
  test::RemoveTree(helper_);
  ASSERT_TRUE(test::WriteBytes(helper_, "MZ helper"));
  const std::wstring real = root_ / L"real-install";
  ASSERT_TRUE(::MoveFileW(installFolder_.c_str(), real.c_str()));
  ASSERT_TRUE(test::MakeSymbolicLink(installFolder_, real, true));
  moveAtReply_ = false;
  EXPECT_EQ(Launch(), kUnavailable) << "linked installation folder";
  EXPECT_EQ(shell_.calls, 0);
}

TEST_F(ServiceRepairLaunchTest, ShellFailuresAreAnsweredAfterClosing) {
  environment_.shellExecute = Shell(FALSE, 1223);
  EXPECT_EQ(Launch(), "repair_cancelled|Could not launch service repair.|1223");
  environment_.shellExecute = Shell(FALSE, ERROR_ACCESS_DENIED);
  EXPECT_EQ(Launch(), "repair_launch_failed|Could not launch service repair.|5");
}

// --- With the real surroundings. ---

TEST(ServiceRepairRealLaunchTest, ProgramOutsideProgramFilesMustInstallFirst) {
  test::RecordingResult result;
  LaunchServiceRepair(nullptr, result);
  EXPECT_EQ(result.replies, 1);
  EXPECT_EQ(result.reply, kNotInstalled);
}

// Runs a copy of the probe as the installed program. Wine synthesises every
// owner, so the real checks refuse its Program Files.
TEST(ServiceRepairRealLaunchTest, InstalledCopyChecksTheProtectedFolders) {
  PWSTR programFiles = nullptr;
  ASSERT_TRUE(SUCCEEDED(::SHGetKnownFolderPath(FOLDERID_ProgramFiles, 0, nullptr, &programFiles)));
  const std::wstring installFolder = std::wstring(programFiles) + L"\\VELTRIX VPN";
  ::CoTaskMemFree(programFiles);
  const std::wstring host = installFolder + L"\\VELTRIX VPN.exe";
  const std::wstring probe = test::ProgramFolder() + L"\\launch_probe.exe";
  if (::GetFileAttributesW(installFolder.c_str()) != INVALID_FILE_ATTRIBUTES) {
    GTEST_SKIP() << "a real installation is present";
  }
  if (!::CreateDirectoryW(installFolder.c_str(), nullptr)) {
    GTEST_SKIP() << "Program Files is not writable here";
  }
  struct Cleanup {
    std::wstring folder;
    ~Cleanup() { test::RemoveTree(folder); }
  } cleanup{installFolder};
  ASSERT_TRUE(::CopyFileW(probe.c_str(), host.c_str(), TRUE));
  ASSERT_TRUE(
      ::CopyFileW(probe.c_str(), (installFolder + L"\\veltrix_vpn_helper.exe").c_str(), TRUE));

  ScratchFolder output;
  const std::wstring outputPath = output / L"reply.txt";
  SECURITY_ATTRIBUTES inherit{sizeof(inherit), nullptr, TRUE};
  UniqueFile outputFile(::CreateFileW(outputPath.c_str(), GENERIC_WRITE, FILE_SHARE_READ, &inherit,
                                      CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
  ASSERT_TRUE(outputFile);
  STARTUPINFOW startup{};
  startup.cb = sizeof(startup);
  startup.dwFlags = STARTF_USESTDHANDLES;
  startup.hStdOutput = outputFile.Get();
  startup.hStdError = outputFile.Get();
  std::wstring commandLine = L"\"" + host + L"\" --repair-probe";
  PROCESS_INFORMATION process{};
  ASSERT_TRUE(::CreateProcessW(host.c_str(), commandLine.data(), nullptr, nullptr, TRUE, 0, nullptr,
                               installFolder.c_str(), &startup, &process));
  UniqueFile processHandle(process.hProcess);
  UniqueFile threadHandle(process.hThread);
  ASSERT_EQ(::WaitForSingleObject(processHandle.Get(), 30000), WAIT_OBJECT_0);
  outputFile.Reset();

  std::string reply = test::ReadBytes(outputPath);
  while (!reply.empty() && (reply.back() == '\n' || reply.back() == '\r')) reply.pop_back();
  EXPECT_EQ(reply, kUnavailable);
}

}  // namespace
}  // namespace veltrix
