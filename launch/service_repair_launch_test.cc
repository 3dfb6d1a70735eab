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

using test::RecordingResult;
using test::ScratchFolder;

constexpr wchar_t kTrustedInstallerSid[] =
    L"S-1-5-80-956008885-3418522649-1831038044-1853292631-2271478464";

bool TrustedInstallerLookupWorks() {
  BYTE sid[68];
  DWORD sidBytes = sizeof(sid);
  wchar_t domain[256];
  DWORD domainUnits = 256;
  SID_NAME_USE use;
  return ::LookupAccountNameW(nullptr, L"NT SERVICE\\TrustedInstaller", sid, &sidBytes, domain,
                              &domainUnits, &use) != FALSE;
}

// A security descriptor from SDDL, with its owner and DACL taken apart.
class Descriptor {
 public:
  explicit Descriptor(const std::wstring& sddl) {
    PSECURITY_DESCRIPTOR descriptor = nullptr;
    parsed_ = ::ConvertStringSecurityDescriptorToSecurityDescriptorW(sddl.c_str(), SDDL_REVISION_1,
                                                                     &descriptor, nullptr) != FALSE;
    memory_.Reset(descriptor);
    if (!parsed_) return;
    BOOL defaulted = FALSE;
    ::GetSecurityDescriptorOwner(descriptor, &owner_, &defaulted);
    BOOL present = FALSE;
    ::GetSecurityDescriptorDacl(descriptor, &present, &dacl_, &defaulted);
    if (!present) dacl_ = nullptr;
  }
  bool parsed() const { return parsed_; }
  PSID owner() const { return owner_; }
  PACL dacl() const { return dacl_; }

 private:
  bool parsed_ = false;
  UniqueLocalMemory memory_;
  PSID owner_ = nullptr;
  PACL dacl_ = nullptr;
};

bool PolicyAllows(const std::wstring& sddl) {
  Descriptor descriptor(sddl);
  EXPECT_TRUE(descriptor.parsed()) << test::Utf8(sddl);
  return IsProtectedObjectSecurity(descriptor.owner(), descriptor.dacl());
}

std::wstring Hex(DWORD value) {
  wchar_t text[16];
  ::swprintf(text, 16, L"0x%lx", static_cast<unsigned long>(value));
  return text;
}

// Typical of Program Files: full control for the system and administrators,
// read and execute for everyone else, full control for the creator's children.
const std::wstring kStrictDacl =
    L"D:P(A;;FA;;;SY)(A;;FA;;;BA)(A;;0x1200a9;;;BU)(A;;0x1200a9;;;AU)(A;OICIIO;GA;;;CO)";

TEST(IsTrustedOwnerSidTest, SystemAndAdministratorsOnly) {
  struct OwnerCase {
    const wchar_t* sid;
    bool trusted;
  };
  const bool trustedInstaller = TrustedInstallerLookupWorks();
  const OwnerCase cases[] = {
      {L"SY", true},
      {L"BA", true},
      {kTrustedInstallerSid, trustedInstaller},
      {L"BU", false},
      {L"AU", false},
      {L"WD", false},
      {L"CO", false},
      {L"S-1-5-21-0-0-0-1000", false},
      {L"S-1-5-80-1-2-3-4-5", false},
  };
  for (const OwnerCase& c : cases) {
    PSID sid = nullptr;
    ASSERT_TRUE(::ConvertStringSidToSidW(c.sid, &sid)) << test::Utf8(c.sid);
    UniqueLocalMemory memory(sid);
    EXPECT_EQ(IsTrustedOwnerSid(sid), c.trusted) << test::Utf8(c.sid);
  }
  EXPECT_FALSE(IsTrustedOwnerSid(nullptr));
  BYTE notASid[12] = {9, 1, 0, 0, 0, 0, 0, 5, 18, 0, 0, 0};  // revision 9
  EXPECT_FALSE(IsTrustedOwnerSid(notASid));
}

TEST(ProtectedObjectSecurityTest, OwnerMustBeTrusted) {
  const bool trustedInstaller = TrustedInstallerLookupWorks();
  EXPECT_TRUE(PolicyAllows(L"O:SY" + kStrictDacl));
  EXPECT_TRUE(PolicyAllows(L"O:BA" + kStrictDacl));
  EXPECT_EQ(PolicyAllows(L"O:" + std::wstring(kTrustedInstallerSid) + kStrictDacl),
            trustedInstaller);
  EXPECT_FALSE(PolicyAllows(L"O:BU" + kStrictDacl));
  EXPECT_FALSE(PolicyAllows(L"O:S-1-5-21-0-0-0-1000" + kStrictDacl));
  EXPECT_FALSE(PolicyAllows(kStrictDacl));  // no owner at all
}

TEST(ProtectedObjectSecurityTest, DaclMustBePresent) {
  // A null DACL grants everyone everything. (Wine's SDDL parser turns
  // NO_ACCESS_CONTROL into an empty DACL, so the null one is built here.)
  Descriptor system(L"O:SY");
  ASSERT_TRUE(system.parsed());
  EXPECT_EQ(system.dacl(), nullptr);
  EXPECT_FALSE(IsProtectedObjectSecurity(system.owner(), nullptr));
  EXPECT_TRUE(PolicyAllows(L"O:SYD:"));  // an empty DACL grants nothing
}

TEST(ProtectedObjectSecurityTest, EachWriteRightIsReservedForTrustedPrincipals) {
  const DWORD writeRights[] = {0x2,     0x4,     0x10,    0x40,       0x100,
                               0x10000, 0x40000, 0x80000, 0x10000000, 0x40000000};
  DWORD all = 0;
  for (DWORD right : writeRights) all |= right;
  EXPECT_EQ(all, kProtectedWriteMask);

  const bool trustedInstaller = TrustedInstallerLookupWorks();
  for (DWORD right : writeRights) {
    const std::wstring r = Hex(right);
    for (const wchar_t* untrusted : {L"BU", L"AU", L"WD", L"S-1-5-21-0-0-0-1000"}) {
      const std::wstring who = untrusted;
      EXPECT_FALSE(PolicyAllows(L"O:SY" + kStrictDacl + L"(A;;" + r + L";;;" + who + L")"))
          << test::Utf8(r + L" " + who);
      // Only entries that apply to the object itself count.
      EXPECT_TRUE(PolicyAllows(L"O:SY" + kStrictDacl + L"(A;OICIIO;" + r + L";;;" + who + L")"))
          << test::Utf8(r + L" " + who);
      EXPECT_TRUE(PolicyAllows(L"O:SY" + kStrictDacl + L"(D;;" + r + L";;;" + who + L")"))
          << test::Utf8(r + L" " + who);
    }
    EXPECT_TRUE(PolicyAllows(L"O:SYD:(A;;" + r + L";;;SY)(A;;" + r + L";;;BA)"));
    EXPECT_EQ(PolicyAllows(L"O:SYD:(A;;" + r + L";;;" + kTrustedInstallerSid + L")"),
              trustedInstaller);
  }
  // The Modify permission, and a write right hidden among read rights.
  EXPECT_FALSE(PolicyAllows(L"O:SY" + kStrictDacl + L"(A;;0x1301bf;;;BU)"));
  EXPECT_FALSE(PolicyAllows(L"O:SY" + kStrictDacl + L"(A;;0x1201a9;;;AU)"));
  // An inherited (but not inherit-only) entry counts like any other.
  EXPECT_FALSE(PolicyAllows(L"O:SYD:AI(A;OICIID;0x2;;;BU)"));
}

TEST(ProtectedObjectSecurityTest, ReadingAndExecutingRightsAreFreeToGrant) {
  const DWORD readRights[] = {0x1,     0x8,      0x20,     0x80,       0x200,     0x400,
                              0x20000, 0x100000, 0x1200a9, 0x20000000, 0x80000000};
  for (DWORD right : readRights) {
    ASSERT_EQ(right & kProtectedWriteMask, 0u);
    EXPECT_TRUE(PolicyAllows(L"O:SYD:(A;;" + Hex(right) + L";;;BU)(A;;" + Hex(right) + L";;;WD)"))
        << right;
  }
}

// A DACL with one entry of an arbitrary type, for types SDDL cannot spell.
// Object types carry their flags and object type GUID before the SID.
std::vector<BYTE> AclWithRawEntry(BYTE type, BYTE flags, ACCESS_MASK mask, const wchar_t* sidText) {
  const bool objectLayout =
      type == ACCESS_ALLOWED_OBJECT_ACE_TYPE || type == ACCESS_ALLOWED_CALLBACK_OBJECT_ACE_TYPE;
  PSID sid = nullptr;
  EXPECT_TRUE(::ConvertStringSidToSidW(sidText, &sid));
  UniqueLocalMemory sidMemory(sid);
  const DWORD sidBytes = ::GetLengthSid(sid);

  std::vector<BYTE> ace(sizeof(ACE_HEADER), 0);
  auto append = [&ace](const void* data, size_t size) {
    const BYTE* bytes = static_cast<const BYTE*>(data);
    ace.insert(ace.end(), bytes, bytes + size);
  };
  append(&mask, sizeof(mask));
  if (objectLayout) {
    const DWORD objectFlags = ACE_OBJECT_TYPE_PRESENT;
    const GUID objectType = {
        0xbf967aba, 0x0de6, 0x11d0, {0xa2, 0x85, 0x00, 0xaa, 0x00, 0x30, 0x49, 0xe2}};
    append(&objectFlags, sizeof(objectFlags));
    append(&objectType, sizeof(objectType));
  }
  append(sid, sidBytes);
  auto* header = reinterpret_cast<ACE_HEADER*>(ace.data());
  header->AceType = type;
  header->AceFlags = flags;
  header->AceSize = static_cast<WORD>(ace.size());

  std::vector<BYTE> acl(sizeof(ACL) + ace.size() + 16, 0);
  EXPECT_TRUE(::InitializeAcl(reinterpret_cast<PACL>(acl.data()), static_cast<DWORD>(acl.size()),
                              ACL_REVISION_DS));
  EXPECT_TRUE(::AddAce(reinterpret_cast<PACL>(acl.data()), ACL_REVISION_DS, MAXDWORD, ace.data(),
                       static_cast<DWORD>(ace.size())));
  return acl;
}

TEST(ProtectedObjectSecurityTest, OtherEntryTypesAreRefusedEvenWhenHarmless) {
  Descriptor system(L"O:SYD:");
  ASSERT_TRUE(system.parsed());

  // An allowing object entry in SDDL, where the parser knows "OA" (Wine's
  // does not; the table below builds one by hand).
  Descriptor objectEntry(L"O:SYD:(OA;;0x1;bf967aba-0de6-11d0-a285-00aa003049e2;;BU)");
  if (objectEntry.parsed() && objectEntry.dacl() != nullptr) {
    EXPECT_FALSE(IsProtectedObjectSecurity(objectEntry.owner(), objectEntry.dacl()));
  }

  struct RawCase {
    BYTE type;
    BYTE flags;
    bool allowed;
  };
  const RawCase cases[] = {
      {ACCESS_ALLOWED_ACE_TYPE, 0, true},
      {ACCESS_DENIED_ACE_TYPE, 0, true},
      {ACCESS_ALLOWED_OBJECT_ACE_TYPE, 0, false},
      {ACCESS_ALLOWED_CALLBACK_ACE_TYPE, 0, false},
      {ACCESS_ALLOWED_CALLBACK_OBJECT_ACE_TYPE, 0, false},
      {SYSTEM_MANDATORY_LABEL_ACE_TYPE, 0, false},
      {ACCESS_ALLOWED_CALLBACK_ACE_TYPE, INHERIT_ONLY_ACE | OBJECT_INHERIT_ACE, true},
      {ACCESS_DENIED_CALLBACK_ACE_TYPE, 0, false},
  };
  for (const RawCase& c : cases) {
    // Read rights for the system: harmless in any allowing form.
    std::vector<BYTE> acl = AclWithRawEntry(c.type, c.flags, FILE_GENERIC_READ, L"SY");
    ASSERT_TRUE(::IsValidAcl(reinterpret_cast<PACL>(acl.data()))) << static_cast<int>(c.type);
    EXPECT_EQ(IsProtectedObjectSecurity(system.owner(), reinterpret_cast<PACL>(acl.data())),
              c.allowed)
        << static_cast<int>(c.type);
  }
}

// --- The launch, with its surroundings replaced where Wine cannot help. ---

struct RepairShellCall {
  int calls = 0;
  SHELLEXECUTEINFOW info{};
  std::wstring verb;
  std::wstring file;
  std::wstring parameters;
  std::wstring directory;
  DWORD deleteHelperError = 0;
  DWORD writeHelperError = 0;
  bool installFolderMoved = true;
};

std::wstring Text(const wchar_t* text) { return text != nullptr ? text : L""; }

class ServiceRepairLaunchTest : public ::testing::Test {
 protected:
  void SetUp() override {
    programFiles_ = root_ / L"Program Files";
    installFolder_ = programFiles_ + L"\\VELTRIX VPN";
    helper_ = installFolder_ + L"\\veltrix_vpn_helper.exe";
    hostExecutable_ = installFolder_ + L"\\VELTRIX VPN.exe";
    ASSERT_TRUE(::CreateDirectoryW(programFiles_.c_str(), nullptr));
    ASSERT_TRUE(::CreateDirectoryW(installFolder_.c_str(), nullptr));
    ASSERT_TRUE(test::WriteBytes(hostExecutable_, "MZ host"));
    ASSERT_TRUE(test::WriteBytes(helper_, "MZ helper"));

    environment_.programFilesFolder = [this] { return programFiles_; };
    environment_.runningProgramPath = [this] { return runningProgram_; };
    environment_.securityPolicy = [this](PSID owner, PACL) {
      ++policyCalls_;
      if (owner == nullptr) ++policyCallsWithoutOwner_;
      return policyCalls_ != refuseAtPolicyCall_;
    };
    environment_.shellExecute = Shell(TRUE, 0);
    runningProgram_ = hostExecutable_;
  }

  ShellExecuteFunction Shell(BOOL answer, DWORD error) {
    return [this, answer, error](SHELLEXECUTEINFOW* info) {
      ++shell_.calls;
      shell_.info = *info;
      shell_.verb = Text(info->lpVerb);
      shell_.file = Text(info->lpFile);
      shell_.parameters = Text(info->lpParameters);
      shell_.directory = Text(info->lpDirectory);
      shell_.deleteHelperError = ::DeleteFileW(helper_.c_str()) ? ERROR_SUCCESS : ::GetLastError();
      shell_.writeHelperError = test::WriteOpenError(helper_);
      shell_.installFolderMoved = MoveAndRestore(installFolder_);
      ::SetLastError(error);
      return answer;
    };
  }

  // True when the folder could be moved away (and it is put back).
  static bool MoveAndRestore(const std::wstring& folder) {
    const std::wstring moved = folder + L"-moved";
    if (!::MoveFileW(folder.c_str(), moved.c_str())) return false;
    EXPECT_TRUE(::MoveFileW(moved.c_str(), folder.c_str()));
    return true;
  }

  // At the reply every handle must already be closed.
  void WatchReply(RecordingResult& result) {
    result.onReply = [this] {
      writeHelperErrorAtReply_ = test::WriteOpenError(helper_);
      installFolderMovableAtReply_ = MoveAndRestore(installFolder_);
    };
  }

  void ExpectUnavailable(const RecordingResult& result) {
    EXPECT_EQ(result.replies, 1);
    EXPECT_EQ(result.code, "repair_requires_installer");
    EXPECT_EQ(result.message, "Protected repair component is unavailable.");
    EXPECT_FALSE(result.details.has_value());
    EXPECT_EQ(shell_.calls, 0);
  }

  ScratchFolder root_;
  std::wstring programFiles_;
  std::wstring installFolder_;
  std::wstring helper_;
  std::wstring hostExecutable_;
  std::wstring runningProgram_;
  ServiceRepairEnvironment environment_;
  int policyCalls_ = 0;
  int policyCallsWithoutOwner_ = 0;
  int refuseAtPolicyCall_ = 0;
  RepairShellCall shell_;
  DWORD writeHelperErrorAtReply_ = 0xFFFFFFFF;
  bool installFolderMovableAtReply_ = false;
};

TEST_F(ServiceRepairLaunchTest, LaunchesTheHelperHiddenAndRepliesAfterClosing) {
  const HWND owner = reinterpret_cast<HWND>(static_cast<uintptr_t>(0x7070));
  RecordingResult result;
  WatchReply(result);
  LaunchServiceRepair(owner, result, environment_);

  EXPECT_EQ(result.replies, 1);
  EXPECT_TRUE(result.success) << result.code << " " << result.message;
  EXPECT_EQ(policyCalls_, 3);
  EXPECT_EQ(policyCallsWithoutOwner_, 0);
  ASSERT_EQ(shell_.calls, 1);
  EXPECT_EQ(shell_.info.cbSize, 112u);
  EXPECT_EQ(shell_.info.fMask, 0x140u);
  EXPECT_EQ(shell_.info.hwnd, owner);
  EXPECT_EQ(shell_.verb, L"runas");
  EXPECT_EQ(shell_.file, helper_);
  EXPECT_EQ(shell_.parameters, L"--repair-service");
  EXPECT_EQ(shell_.directory, installFolder_);
  EXPECT_EQ(shell_.info.nShow, SW_HIDE);
  EXPECT_EQ(shell_.info.lpIDList, nullptr);
  EXPECT_EQ(shell_.info.hProcess, nullptr);

  EXPECT_EQ(shell_.deleteHelperError, static_cast<DWORD>(ERROR_SHARING_VIOLATION));
  EXPECT_EQ(shell_.writeHelperError, static_cast<DWORD>(ERROR_SHARING_VIOLATION));
  EXPECT_FALSE(shell_.installFolderMoved);
  EXPECT_EQ(writeHelperErrorAtReply_, static_cast<DWORD>(ERROR_SUCCESS));
  EXPECT_TRUE(installFolderMovableAtReply_);
}

TEST_F(ServiceRepairLaunchTest, OnlyTheInstalledProgramMayRepair) {
  std::wstring upperCase = hostExecutable_;
  for (wchar_t& c : upperCase) c = static_cast<wchar_t>(::towupper(c));
  struct ProgramCase {
    std::wstring programFiles;
    std::wstring running;
    bool allowed;
  };
  const ProgramCase cases[] = {
      {programFiles_, upperCase, true},
      {programFiles_, root_ / L"VELTRIX VPN.exe", false},
      {programFiles_, installFolder_ + L"\\VELTRIX VPN (2).exe", false},
      {programFiles_, installFolder_ + L"\\veltrix_vpn_helper.exe", false},
      {programFiles_, hostExecutable_ + L" ", false},
      {programFiles_, L"", false},
      {L"", L"\\VELTRIX VPN\\VELTRIX VPN.exe", false},
  };
  for (const ProgramCase& c : cases) {
    shell_ = RepairShellCall{};
    policyCalls_ = 0;
    environment_.programFilesFolder = [&c] { return c.programFiles; };
    runningProgram_ = c.running;
    RecordingResult result;
    LaunchServiceRepair(nullptr, result, environment_);
    EXPECT_EQ(result.replies, 1);
    if (c.allowed) {
      EXPECT_TRUE(result.success) << test::Utf8(c.running);
    } else {
      EXPECT_EQ(result.code, "repair_requires_installer") << test::Utf8(c.running);
      EXPECT_EQ(result.message, "Install the official EXE first.");
      EXPECT_FALSE(result.details.has_value());
      EXPECT_EQ(policyCalls_, 0) << "nothing may be opened";
      EXPECT_EQ(shell_.calls, 0);
    }
  }
}

TEST_F(ServiceRepairLaunchTest, EachObjectIsExaminedCompletelyInTurn) {
  for (int refuse = 1; refuse <= 3; ++refuse) {
    policyCalls_ = 0;
    refuseAtPolicyCall_ = refuse;
    RecordingResult result;
    WatchReply(result);
    LaunchServiceRepair(nullptr, result, environment_);
    ExpectUnavailable(result);
    EXPECT_EQ(policyCalls_, refuse);
    EXPECT_EQ(writeHelperErrorAtReply_, static_cast<DWORD>(ERROR_SUCCESS)) << refuse;
    EXPECT_TRUE(installFolderMovableAtReply_) << refuse;
  }
}

TEST_F(ServiceRepairLaunchTest, TheRealPolicyRefusesAUserOwnedTree) {
  environment_.securityPolicy = IsProtectedObjectSecurity;
  RecordingResult result;
  LaunchServiceRepair(nullptr, result, environment_);
  ExpectUnavailable(result);
}

TEST_F(ServiceRepairLaunchTest, MissingOrMisplacedHelperIsUnavailable) {
  ASSERT_TRUE(::DeleteFileW(helper_.c_str()));
  {
    RecordingResult result;
    LaunchServiceRepair(nullptr, result, environment_);
    ExpectUnavailable(result);
  }
  ASSERT_TRUE(::CreateDirectoryW(helper_.c_str(), nullptr));
  {
    RecordingResult result;
    LaunchServiceRepair(nullptr, result, environment_);
    ExpectUnavailable(result);
  }
}

TEST_F(ServiceRepairLaunchTest, HelperWithASecondNameIsUnavailable) {
  ASSERT_TRUE(::CreateHardLinkW((root_ / L"helper-copy.exe").c_str(), helper_.c_str(), nullptr));
  RecordingResult result;
  LaunchServiceRepair(nullptr, result, environment_);
  ExpectUnavailable(result);
}

TEST_F(ServiceRepairLaunchTest, LinkedHelperIsUnavailable) {
  const std::wstring real = root_ / L"real-helper.exe";
  ASSERT_TRUE(test::WriteBytes(real, "MZ"));
  ASSERT_TRUE(::DeleteFileW(helper_.c_str()));
  if (!test::MakeSymbolicLink(helper_, real, false)) GTEST_SKIP() << "no symbolic links here";
  RecordingResult result;
  LaunchServiceRepair(nullptr, result, environment_);
  ExpectUnavailable(result);
}

TEST_F(ServiceRepairLaunchTest, LinkedInstallationFolderIsUnavailable) {
  const std::wstring real = root_ / L"real-install";
  ASSERT_TRUE(::MoveFileW(installFolder_.c_str(), real.c_str()));
  if (!test::MakeSymbolicLink(installFolder_, real, true)) GTEST_SKIP() << "no symbolic links here";
  RecordingResult result;
  LaunchServiceRepair(nullptr, result, environment_);
  ExpectUnavailable(result);
}

TEST_F(ServiceRepairLaunchTest, ShellFailuresAreAnsweredAfterClosing) {
  struct Failure {
    DWORD error;
    const char* code;
  };
  for (const Failure& failure : {Failure{ERROR_CANCELLED, "repair_cancelled"},
                                 Failure{ERROR_FILE_NOT_FOUND, "repair_launch_failed"},
                                 Failure{ERROR_ACCESS_DENIED, "repair_launch_failed"}}) {
    environment_.shellExecute = Shell(FALSE, failure.error);
    RecordingResult result;
    WatchReply(result);
    LaunchServiceRepair(nullptr, result, environment_);
    EXPECT_EQ(result.replies, 1);
    EXPECT_EQ(result.code, failure.code);
    EXPECT_EQ(result.message, "Could not launch service repair.");
    EXPECT_EQ(result.details, failure.error);
    EXPECT_EQ(writeHelperErrorAtReply_, static_cast<DWORD>(ERROR_SUCCESS));
  }
}

TEST_F(ServiceRepairLaunchTest, ClosesTheReturnedProcessHandle) {
  HANDLE process = nullptr;
  ASSERT_TRUE(::DuplicateHandle(::GetCurrentProcess(), ::GetCurrentProcess(), ::GetCurrentProcess(),
                                &process, 0, FALSE, DUPLICATE_SAME_ACCESS));
  environment_.shellExecute = [process](SHELLEXECUTEINFOW* info) {
    info->hProcess = process;
    return TRUE;
  };
  RecordingResult result;
  LaunchServiceRepair(nullptr, result, environment_);
  EXPECT_TRUE(result.success);
  DWORD flags = 0;
  EXPECT_FALSE(::GetHandleInformation(process, &flags));
}

// --- With the real surroundings. ---

TEST(ServiceRepairRealLaunchTest, ProgramOutsideProgramFilesMustInstallFirst) {
  RecordingResult result;
  LaunchServiceRepair(nullptr, result);
  EXPECT_EQ(result.replies, 1);
  EXPECT_EQ(result.code, "repair_requires_installer");
  EXPECT_EQ(result.message, "Install the official EXE first.");
}

std::wstring KnownProgramFiles() {
  PWSTR text = nullptr;
  std::wstring folder;
  if (SUCCEEDED(::SHGetKnownFolderPath(FOLDERID_ProgramFiles, 0, nullptr, &text))) folder = text;
  ::CoTaskMemFree(text);
  return folder;
}

// Runs a copy of the probe as the installed program. Wine synthesises every
// owner, so the real checks refuse its Program Files.
TEST(ServiceRepairRealLaunchTest, InstalledCopyChecksTheProtectedFolders) {
  const std::wstring installFolder = KnownProgramFiles() + L"\\VELTRIX VPN";
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
  EXPECT_EQ(reply, "repair_requires_installer|Protected repair component is unavailable.");
}

}  // namespace
}  // namespace veltrix
