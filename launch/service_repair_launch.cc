#include "launch/service_repair_launch.h"

#include <aclapi.h>
#include <shlobj.h>

#include <cstddef>
#include <optional>
#include <vector>

#include "base/product.h"
#include "file_safety/file_identity.h"
#include "file_safety/path_checks.h"
#include "file_safety/pinned_open.h"
#include "launch/publisher_signature.h"
#include "win32/known_folder.h"
#include "win32/system_paths.h"
#include "win32/unique_handle.h"

namespace veltrix {
namespace {

static_assert(kProtectedWriteMask == 0x500D0156);

// FOLDERID_ProgramFiles, {905E63B6-C1BF-494E-B29C-65B732D3D21A}.
constexpr GUID kProgramFilesFolderId = {
    0x905E63B6, 0xC1BF, 0x494E, {0xB2, 0x9C, 0x65, 0xB7, 0x32, 0xD3, 0xD2, 0x1A}};

constexpr wchar_t kInstallFolderSuffix[] = L"\\" VELTRIX_PRODUCT_NAME_W;
constexpr wchar_t kHostExecutableSuffix[] = L"\\" VELTRIX_PRODUCT_NAME_W L".exe";
constexpr wchar_t kHelperSuffix[] = L"\\veltrix_vpn_helper.exe";
constexpr wchar_t kHelperArgument[] = L"--repair-service";
constexpr wchar_t kTrustedInstallerAccount[] = L"NT SERVICE\\TrustedInstaller";
constexpr DWORD kDomainNameUnits = 256;

Win32Result<std::wstring> KnownProgramFilesFolder() {
  return KnownFolderPath(kProgramFilesFolderId);
}

// The SID inside an allowing entry, when the entry is large enough to hold it.
PSID SidOfAllowedAce(const ACCESS_ALLOWED_ACE* ace) {
  const size_t sidOffset = offsetof(ACCESS_ALLOWED_ACE, SidStart);
  const size_t aceSize = ace->Header.AceSize;
  // Revision, sub-authority count and authority: what IsValidSid reads.
  constexpr size_t kSidHeaderBytes = 8;
  if (aceSize < sidOffset + kSidHeaderBytes) return nullptr;
  PSID sid = const_cast<DWORD*>(&ace->SidStart);
  if (!::IsValidSid(sid) || ::GetLengthSid(sid) > aceSize - sidOffset) return nullptr;
  return sid;
}

// The owner and DACL of an open object pass `policy`.
bool PassesSecurityPolicy(HANDLE handle, const ServiceRepairEnvironment& environment) {
  PSID owner = nullptr;
  PACL dacl = nullptr;
  UniqueLocalMemory descriptor;
  const DWORD status = ::GetSecurityInfo(handle, SE_FILE_OBJECT,
                                         OWNER_SECURITY_INFORMATION | DACL_SECURITY_INFORMATION,
                                         &owner, nullptr, &dacl, nullptr, descriptor.Receive());
  return status == ERROR_SUCCESS && environment.securityPolicy(owner, dacl);
}

// One protected object, already opened: plain, policy-approved and where its
// name says it is.
bool IsProtectedObject(HANDLE handle, const std::wstring& path, bool folder,
                       const ServiceRepairEnvironment& environment) {
  const auto info = ReadFileInformation(handle);
  if (!info) return false;
  if (folder ? !IsPlainDirectory(*info) : !IsPlainLocalFile(handle, *info)) return false;
  if (!PassesSecurityPolicy(handle, environment)) return false;
  const auto finalPath = FinalPathOfHandle(handle);
  const auto ordinary = finalPath ? DriveLetterForm(*finalPath) : std::nullopt;
  return ordinary && PathsEqual(*ordinary, path);
}

}  // namespace

bool IsTrustedOwnerSid(PSID sid) {
  if (sid == nullptr || !::IsValidSid(sid)) return false;
  if (::IsWellKnownSid(sid, WinLocalSystemSid) ||
      ::IsWellKnownSid(sid, WinBuiltinAdministratorsSid)) {
    return true;
  }
  BYTE trustedInstaller[SECURITY_MAX_SID_SIZE] = {};
  DWORD sidBytes = sizeof(trustedInstaller);
  wchar_t domain[kDomainNameUnits] = {};
  DWORD domainUnits = kDomainNameUnits;
  SID_NAME_USE use;
  if (!::LookupAccountNameW(nullptr, kTrustedInstallerAccount, trustedInstaller, &sidBytes, domain,
                            &domainUnits, &use)) {
    return false;
  }
  return ::EqualSid(sid, trustedInstaller) != FALSE;
}

bool IsProtectedObjectSecurity(PSID owner, PACL dacl) {
  if (!IsTrustedOwnerSid(owner)) return false;
  // A null DACL grants everyone everything.
  if (dacl == nullptr || !::IsValidAcl(dacl)) return false;

  for (DWORD index = 0; index < dacl->AceCount; ++index) {
    void* entry = nullptr;
    if (!::GetAce(dacl, index, &entry)) return false;
    const auto* header = static_cast<const ACE_HEADER*>(entry);
    if (header->AceType == ACCESS_DENIED_ACE_TYPE) continue;
    // Object, callback and any other allowing form could grant rights we
    // cannot judge here.
    if (header->AceType != ACCESS_ALLOWED_ACE_TYPE) return false;
    if (header->AceSize < sizeof(ACE_HEADER) + sizeof(ACCESS_MASK)) return false;

    const auto* allowed = static_cast<const ACCESS_ALLOWED_ACE*>(entry);
    if ((allowed->Mask & kProtectedWriteMask) == 0) continue;
    const PSID grantee = SidOfAllowedAce(allowed);
    if (IsTrustedOwnerSid(grantee)) continue;
    // An entry for children to come: the creator of a child stands in for
    // CREATOR OWNER, and only a trusted principal can create one here.
    const bool forChildren = (header->AceFlags & (OBJECT_INHERIT_ACE | CONTAINER_INHERIT_ACE)) != 0;
    if (!forChildren || grantee == nullptr || !::IsWellKnownSid(grantee, WinCreatorOwnerSid)) {
      return false;
    }
  }
  return true;
}

ServiceRepairEnvironment DefaultServiceRepairEnvironment() {
  return ServiceRepairEnvironment{KnownProgramFilesFolder, RunningModulePath,
                                  IsProtectedObjectSecurity, ::ShellExecuteExW};
}

RepairLaunch LaunchServiceRepair(HWND owner, const ServiceRepairEnvironment& environment) {
  const Win32Result<std::wstring> programFiles = environment.programFilesFolder();
  if (!programFiles) return Failure(RepairRefusal::kNotInstalled);
  const std::wstring installFolder = *programFiles + kInstallFolderSuffix;
  const std::wstring helper = installFolder + kHelperSuffix;

  // Only the installed program may start an elevated helper from its folder.
  const Win32Result<std::wstring> running = environment.runningProgramPath();
  if (!running || !PathsEqual(*running, installFolder + kHostExecutableSuffix)) {
    return Failure(RepairRefusal::kNotInstalled);
  }

  struct ProtectedObject {
    const std::wstring& path;
    bool folder;
  };
  const ProtectedObject objects[] = {{*programFiles, true}, {installFolder, true}, {helper, false}};

  // Each examined completely before the next is opened, and held until the
  // shell has returned, so that what was checked is what runs.
  std::vector<UniqueKernelHandle> pinned;
  const auto protect = [&](const std::wstring& path, bool folder) {
    auto opened = OpenPinned(
        path, folder ? PinnedObject::ProtectedFolder : PinnedObject::ProtectedHelperFile);
    if (!opened || !IsProtectedObject(opened->Get(), path, folder, environment)) return false;
    pinned.push_back(std::move(*opened));
    return true;
  };
  for (const ProtectedObject& object : objects) {
    if (!protect(object.path, object.folder)) return Failure(RepairRefusal::kUnprotected);
  }
  // The elevated helper loads DLLs from its own folder before any other.
  const auto neighbours = FolderEntries(pinned[1].Get());
  if (!neighbours) return Failure(RepairRefusal::kUnprotected);
  for (const std::wstring& name : *neighbours) {
    if (HasExtension(name, L".dll") && !protect(installFolder + L"\\" + name, false)) {
      return Failure(RepairRefusal::kUnprotected);
    }
  }
  // Protected or not, only what we published runs elevated.
  if (!IsSignedByOurPublisher(pinned[2].Get(), helper)) return Failure(RepairRefusal::kUnprotected);
  return ElevatedOutcome(
      LaunchElevated({owner, helper.c_str(), kHelperArgument, installFolder.c_str(), SW_HIDE},
                     environment.shellExecute),
      RepairRefusal::kCancelled, RepairRefusal::kLaunchFailed);
}

}  // namespace veltrix
