#include "launch/service_repair_launch.h"

#include <gtest/gtest.h>

#include <sddl.h>
#include <shlobj.h>

#include <cstring>
#include <cwchar>
#include <cwctype>
#include <string>
#include <tuple>
#include <utility>
#include <vector>

#include "base/testing/ended.h"
#include "file_safety/path_checks.h"
#include "file_safety/testing/file_test_support.h"
#include "win32/unique_handle.h"

namespace veltrix {
namespace {

using test::ScratchFolder;

// Typical of Program Files: full control for the system and administrators,
// read and execute for everyone else, full control for the creator's children.
const std::wstring kStrictDacl =
    L"D:P(A;;FA;;;SY)(A;;FA;;;BA)(A;;0x1200a9;;;BU)(A;;0x1200a9;;;AU)(A;OICIIO;GA;;;CO)";

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
  BOOL present = FALSE, defaulted = FALSE;
  ::GetSecurityDescriptorOwner(descriptor, &owner, &defaulted);
  ::GetSecurityDescriptorDacl(descriptor, &present, &dacl, &defaulted);
  return IsProtectedObjectSecurity(owner, present ? dacl : nullptr);
}

// An allowing entry for `who` with `rights`, in SDDL.
std::wstring Allow(DWORD rights, const wchar_t* who, const wchar_t* flags = L"") {
  wchar_t text[160];
  ::swprintf(text, 160, L"(A;%ls;0x%lx;;;%ls)", flags, static_cast<unsigned long>(rights), who);
  return text;
}

// TrustedInstaller cannot be looked up under Wine, so only Windows shows
// that it is trusted.
TEST(ProtectedObjectSecurityTest, OwnerMustBeTrustedAndDaclPresent) {
  const std::pair<std::wstring, bool> cases[] = {
      {L"O:SY" + kStrictDacl, true},
      {L"O:BA" + kStrictDacl, true},
      {L"O:S-1-5-21-0-0-0-1000" + kStrictDacl, false},
      {kStrictDacl, false},  // no owner at all
      // Leaving the DACL out gives the null one, which grants everyone everything.
      {L"O:SY", false},
      {L"O:SYD:", true},  // an empty DACL grants nothing
      // An inherited (but not inherit-only) entry counts like any other.
      {L"O:SYD:AI" + Allow(FILE_WRITE_DATA, L"BU", L"OICIID"), false},
  };
  for (const auto& [sddl, allowed] : cases)
    EXPECT_EQ(PolicyAllows(sddl), allowed) << test::Utf8(sddl);
}

TEST(ProtectedObjectSecurityTest, WriteRightsAreReservedForTrustedPrincipals) {
  for (DWORD bit = 1; bit != 0; bit <<= 1) {
    if ((kProtectedWriteMask & bit) == 0) continue;
    SCOPED_TRACE(bit);
    EXPECT_FALSE(PolicyAllows(L"O:SY" + kStrictDacl + Allow(bit, L"AU")));
    EXPECT_TRUE(PolicyAllows(L"O:SYD:" + Allow(bit, L"SY") + Allow(bit, L"BA")));
  }
  // Write on children to come is as bad as write on the object, unless it is
  // for their creator, who can only be trusted here.
  EXPECT_FALSE(PolicyAllows(L"O:SY" + kStrictDacl + Allow(FILE_APPEND_DATA, L"AU", L"CIIO")));
  EXPECT_FALSE(PolicyAllows(L"O:SY" + kStrictDacl + Allow(GENERIC_ALL, L"CO")));
  EXPECT_TRUE(PolicyAllows(L"O:SY" + kStrictDacl + L"(D;;0x2;;;BU)"));
  // Reading, executing, synchronising and the like are anybody's.
  EXPECT_TRUE(PolicyAllows(L"O:SYD:" + Allow(~kProtectedWriteMask & 0xF01F07FF, L"WD")));
}

// A DACL with one entry of `type` giving the system read rights, in a form
// SDDL cannot always spell.
bool SystemReadEntryAllowed(BYTE type) {
  BYTE system[SECURITY_MAX_SID_SIZE];
  DWORD sidBytes = sizeof(system);
  EXPECT_TRUE(::CreateWellKnownSid(WinLocalSystemSid, nullptr, system, &sidBytes));
  std::vector<BYTE> ace(sizeof(ACE_HEADER) + sizeof(ACCESS_MASK));
  const ACCESS_MASK mask = FILE_GENERIC_READ;
  std::memcpy(&ace[sizeof(ACE_HEADER)], &mask, sizeof(mask));
  ace.insert(ace.end(), system, system + sidBytes);
  *reinterpret_cast<ACE_HEADER*>(ace.data()) = {type, 0, static_cast<WORD>(ace.size())};

  std::vector<BYTE> acl(sizeof(ACL) + ace.size());
  const PACL dacl = reinterpret_cast<PACL>(acl.data());
  EXPECT_TRUE(::InitializeAcl(dacl, static_cast<DWORD>(acl.size()), ACL_REVISION_DS));
  EXPECT_TRUE(
      ::AddAce(dacl, ACL_REVISION_DS, MAXDWORD, ace.data(), static_cast<DWORD>(ace.size())));
  return IsProtectedObjectSecurity(system, dacl);
}

TEST(ProtectedObjectSecurityTest, OtherEntryTypesAreRefusedEvenWhenHarmless) {
  EXPECT_TRUE(SystemReadEntryAllowed(ACCESS_ALLOWED_ACE_TYPE));
  EXPECT_TRUE(SystemReadEntryAllowed(ACCESS_DENIED_ACE_TYPE));
  EXPECT_FALSE(SystemReadEntryAllowed(ACCESS_ALLOWED_CALLBACK_ACE_TYPE));
  EXPECT_FALSE(SystemReadEntryAllowed(SYSTEM_MANDATORY_LABEL_ACE_TYPE));
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
    ASSERT_TRUE(test::WriteBytes(helper_, test::ReadProbe(L"launch_probe_signed.exe")));
    environment_.programFilesFolder = [this] { return Win32Result<std::wstring>(programFiles_); };
    environment_.runningProgramPath = [this] { return Win32Result<std::wstring>(running_); };
    environment_.securityPolicy = [this](PSID owner, PACL) {
      ++policyCalls_;
      EXPECT_NE(owner, nullptr);
      return policyCalls_ != refuseAtPolicyCall_;
    };
    environment_.shellExecute = Shell(TRUE, 0);
  }

  // Records what the shell is asked and tries to replace the helper meanwhile.
  ShellExecuteFunction Shell(BOOL answer, DWORD error) {
    return [this, answer, error](SHELLEXECUTEINFOW* info) {
      shell_.Take(*info);
      heldInShell_ = !::DeleteFileW(helper_.c_str()) &&
                     test::WriteOpenError(helper_) == ERROR_SHARING_VIOLATION &&
                     !MoveAndRestore(installFolder_);
      ::SetLastError(error);
      return answer;
    };
  }

  auto Launch() { return test::Ended(LaunchServiceRepair(nullptr, environment_)); }

  ScratchFolder root_;
  const std::wstring programFiles_ = root_ / L"Program Files";
  const std::wstring installFolder_ = programFiles_ + L"\\VELTRIX VPN";
  const std::wstring helper_ = installFolder_ + L"\\veltrix_vpn_helper.exe";
  const std::wstring host_ = installFolder_ + L"\\VELTRIX VPN.exe";
  std::wstring running_ = host_;
  ServiceRepairEnvironment environment_;
  int policyCalls_ = 0;
  int refuseAtPolicyCall_ = 0;
  test::ShellRecord shell_;
  bool heldInShell_ = false;
};

TEST_F(ServiceRepairLaunchTest, LaunchesTheHelperHiddenWhileHoldingEverything) {
  EXPECT_EQ(Launch().first, std::nullopt);
  EXPECT_EQ(policyCalls_, 3);
  ASSERT_EQ(shell_.calls, 1);
  EXPECT_EQ(std::make_tuple(shell_.verb, shell_.file, shell_.parameters, shell_.directory),
            std::make_tuple(L"runas", helper_, L"--repair-service", installFolder_));
  EXPECT_EQ(shell_.info.nShow, SW_HIDE);
  EXPECT_TRUE(heldInShell_);
  // Released afterwards.
  EXPECT_TRUE(MoveAndRestore(installFolder_));
}

TEST_F(ServiceRepairLaunchTest, OnlyTheInstalledProgramMayRepair) {
  for (wchar_t& c : running_) c = static_cast<wchar_t>(std::towupper(c));
  EXPECT_EQ(Launch().first, std::nullopt);
  running_ = installFolder_ + L"\\VELTRIX VPN (2).exe";
  EXPECT_EQ(Launch().first, RepairRefusal::kNotInstalled);
  EXPECT_EQ(policyCalls_, 3) << "nothing more may be opened";
}

// Program Files, the installation folder, the helper and a DLL beside it
// (which would run elevated inside the helper), each examined in turn.
TEST_F(ServiceRepairLaunchTest, EachObjectIsExaminedCompletelyInTurn) {
  ASSERT_TRUE(test::WriteBytes(installFolder_ + L"\\notes.txt", "not loaded"));
  ASSERT_TRUE(test::WriteBytes(installFolder_ + L"\\VERSION.Dll", "MZ planted"));
  for (refuseAtPolicyCall_ = 1; refuseAtPolicyCall_ <= 4; ++refuseAtPolicyCall_) {
    policyCalls_ = 0;
    EXPECT_EQ(Launch().first, RepairRefusal::kUnprotected);
    EXPECT_EQ(policyCalls_, refuseAtPolicyCall_);
  }
  environment_.securityPolicy = IsProtectedObjectSecurity;  // refuses a user-owned tree
  EXPECT_EQ(Launch().first, RepairRefusal::kUnprotected);
}

TEST_F(ServiceRepairLaunchTest, UnsignedMissingOrLinkedHelperIsUnprotected) {
  ASSERT_TRUE(test::WriteBytes(helper_, test::ReadProbe(L"launch_probe.exe")));
  EXPECT_EQ(Launch().first, RepairRefusal::kUnprotected) << "not signed by us";
  ASSERT_TRUE(test::WriteBytes(helper_, test::ReadProbe(L"launch_probe_signed.exe")));
  ASSERT_TRUE(::MoveFileW(helper_.c_str(), (root_ / L"helper-copy.exe").c_str()));
  EXPECT_EQ(Launch().first, RepairRefusal::kUnprotected) << "missing";

  if (!test::MakeSymbolicLink(helper_, root_ / L"helper-copy.exe", false)) {
    GTEST_SKIP() << "no symbolic links here";
  }
  EXPECT_EQ(Launch().first, RepairRefusal::kUnprotected) << "linked helper";
  test::RemoveTree(helper_);
  ASSERT_TRUE(test::WriteBytes(helper_, test::ReadProbe(L"launch_probe_signed.exe")));
  const std::wstring real = root_ / L"real-install";
  ASSERT_TRUE(::MoveFileW(installFolder_.c_str(), real.c_str()));
  ASSERT_TRUE(test::MakeSymbolicLink(installFolder_, real, true));
  EXPECT_EQ(Launch().first, RepairRefusal::kUnprotected) << "linked installation folder";
  EXPECT_EQ(shell_.calls, 0);
}

TEST_F(ServiceRepairLaunchTest, ShellFailuresCarryTheirCode) {
  environment_.shellExecute = Shell(FALSE, ERROR_CANCELLED);
  EXPECT_EQ(Launch(), test::Ending(RepairRefusal::kCancelled, ERROR_CANCELLED));
  environment_.shellExecute = Shell(FALSE, ERROR_ACCESS_DENIED);
  EXPECT_EQ(Launch(), test::Ending(RepairRefusal::kLaunchFailed, ERROR_ACCESS_DENIED));
}

// The product's surroundings are the real ones.
TEST(ServiceRepairEnvironmentTest, DefaultsAreTheSystems) {
  const ServiceRepairEnvironment environment = DefaultServiceRepairEnvironment();
  const Win32Result<std::wstring> programFiles = environment.programFilesFolder();
  ASSERT_TRUE(programFiles);
  EXPECT_TRUE(PathsEqual(programFiles->substr(1), L":\\Program Files"));
  EXPECT_TRUE(PathsEqual(*environment.runningProgramPath(),
                         test::ProgramFolder() + L"\\service_repair_launch_test.exe"));
}

}  // namespace
}  // namespace veltrix
