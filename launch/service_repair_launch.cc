#include "launch/service_repair_launch.h"

#include <aclapi.h>
#include <shlobj.h>

#include <cstddef>
#include <vector>

#include "desktop/desktop_reply.h"
#include "launch/file_identity.h"
#include "win32/unique_handle.h"

namespace veltrix {
namespace {

// FOLDERID_ProgramFiles, {905E63B6-C1BF-494E-B29C-65B732D3D21A}.
constexpr GUID kProgramFilesFolderId = {
    0x905E63B6, 0xC1BF, 0x494E, {0xB2, 0x9C, 0x65, 0xB7, 0x32, 0xD3, 0xD2, 0x1A}};

constexpr wchar_t kInstallFolderSuffix[] = L"\\VELTRIX VPN";
constexpr wchar_t kHostExecutableSuffix[] = L"\\VELTRIX VPN.exe";
constexpr wchar_t kHelperSuffix[] = L"\\veltrix_vpn_helper.exe";
constexpr wchar_t kHelperArgument[] = L"--repair-service";
constexpr wchar_t kFinalPathPrefix[] = L"\\\\?\\";
constexpr wchar_t kTrustedInstallerAccount[] = L"NT SERVICE\\TrustedInstaller";
constexpr DWORD kMaxSidBytes = 68;
constexpr DWORD kDomainNameUnits = 256;

constexpr char kRequiresInstallerCode[] = "repair_requires_installer";
constexpr char kLaunchMessage[] = "Could not launch service repair.";

std::wstring KnownProgramFilesFolder() {
  UniqueCoTaskMemory text;
  const HRESULT status = ::SHGetKnownFolderPath(kProgramFilesFolderId, 0, nullptr,
                                                reinterpret_cast<PWSTR*>(text.Receive()));
  if (FAILED(status) || !text) return std::wstring();
  return std::wstring(static_cast<const wchar_t*>(text.Get()));
}

std::wstring RunningModulePath() {
  std::vector<wchar_t> buffer(kPathBufferUnits, L'\0');
  const DWORD length =
      ::GetModuleFileNameW(nullptr, buffer.data(), static_cast<DWORD>(buffer.size()));
  if (length < 1 || length > kPathBufferUnits - 1) return std::wstring();
  return std::wstring(buffer.data(), length);
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

// One protected object, already opened: plain, policy-approved and where its
// name says it is.
bool IsProtectedObject(HANDLE handle, const std::wstring& path, bool folder,
                       const ServiceRepairEnvironment& environment) {
  BY_HANDLE_FILE_INFORMATION info;
  if (!ReadFileInformation(handle, &info)) return false;
  if (folder ? !IsPlainDirectory(info) : !IsPlainLocalFile(handle, info)) return false;

  {
    PSID owner = nullptr;
    PACL dacl = nullptr;
    UniqueLocalMemory descriptor;
    const DWORD status = ::GetSecurityInfo(handle, SE_FILE_OBJECT,
                                           OWNER_SECURITY_INFORMATION | DACL_SECURITY_INFORMATION,
                                           &owner, nullptr, &dacl, nullptr, descriptor.Receive());
    if (status != ERROR_SUCCESS) return false;
    if (!environment.securityPolicy(owner, dacl)) return false;
  }

  return PathsEqual(FinalPathOfHandle(handle), kFinalPathPrefix + path);
}

void CloseInOpeningOrder(std::vector<UniqueFile>& handles) {
  for (UniqueFile& handle : handles) handle.Reset();
  handles.clear();
}

}  // namespace

bool IsTrustedOwnerSid(PSID sid) {
  if (sid == nullptr || !::IsValidSid(sid)) return false;
  if (::IsWellKnownSid(sid, WinLocalSystemSid) ||
      ::IsWellKnownSid(sid, WinBuiltinAdministratorsSid)) {
    return true;
  }
  BYTE trustedInstaller[kMaxSidBytes] = {};
  DWORD sidBytes = kMaxSidBytes;
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
    if ((header->AceFlags & INHERIT_ONLY_ACE) != 0) continue;
    if (header->AceType == ACCESS_DENIED_ACE_TYPE) continue;
    // Object, callback and any other allowing form could grant rights we
    // cannot judge here.
    if (header->AceType != ACCESS_ALLOWED_ACE_TYPE) return false;
    if (header->AceSize < sizeof(ACE_HEADER) + sizeof(ACCESS_MASK)) return false;

    const auto* allowed = static_cast<const ACCESS_ALLOWED_ACE*>(entry);
    if ((allowed->Mask & kProtectedWriteMask) == 0) continue;
    if (!IsTrustedOwnerSid(SidOfAllowedAce(allowed))) return false;
  }
  return true;
}

ServiceRepairEnvironment DefaultServiceRepairEnvironment() {
  return ServiceRepairEnvironment{KnownProgramFilesFolder, RunningModulePath,
                                  IsProtectedObjectSecurity, ::ShellExecuteExW};
}

void LaunchServiceRepair(HWND owner, flutter::MethodResult& result) {
  LaunchServiceRepair(owner, result, DefaultServiceRepairEnvironment());
}

void LaunchServiceRepair(HWND owner, flutter::MethodResult& result,
                         const ServiceRepairEnvironment& environment) {
  const std::wstring programFiles = environment.programFilesFolder();
  const std::wstring installFolder = programFiles + kInstallFolderSuffix;
  const std::wstring hostExecutable = installFolder + kHostExecutableSuffix;
  const std::wstring helper = installFolder + kHelperSuffix;

  // Only the installed program may start an elevated helper from its folder.
  const std::wstring running = environment.runningProgramPath();
  if (programFiles.empty() || running.empty() || !PathsEqual(running, hostExecutable)) {
    ReplyError(result, kRequiresInstallerCode, "Install the official EXE first.");
    return;
  }

  struct ProtectedObject {
    const std::wstring& path;
    bool folder;
  };
  const ProtectedObject objects[] = {{programFiles, true}, {installFolder, true}, {helper, false}};

  // Held until the shell has returned, so that what was checked is what runs.
  std::vector<UniqueFile> pinned;
  pinned.reserve(std::size(objects));
  for (const ProtectedObject& object : objects) {
    UniqueFile handle = OpenPinned(object.path, object.folder ? PinnedObject::ProtectedFolder
                                                              : PinnedObject::ProtectedHelperFile);
    bool protectedObject = handle.IsValid();
    if (protectedObject) {
      pinned.push_back(std::move(handle));
      protectedObject =
          IsProtectedObject(pinned.back().Get(), object.path, object.folder, environment);
    }
    if (!protectedObject) {
      CloseInOpeningOrder(pinned);
      ReplyError(result, kRequiresInstallerCode, "Protected repair component is unavailable.");
      return;
    }
  }

  SHELLEXECUTEINFOW info =
      ElevatedLaunchInfo(owner, helper.c_str(), kHelperArgument, installFolder.c_str(), SW_HIDE);
  const bool launched = environment.shellExecute(&info) != FALSE;
  const DWORD launchError = launched ? ERROR_SUCCESS : ::GetLastError();

  CloseInOpeningOrder(pinned);
  // The helper is not waited for.
  UniqueFile(info.hProcess).Reset();

  if (launched) {
    result.Success();
  } else {
    ReplyWin32Error(result,
                    launchError == ERROR_CANCELLED ? "repair_cancelled" : "repair_launch_failed",
                    kLaunchMessage, launchError);
  }
}

}  // namespace veltrix
