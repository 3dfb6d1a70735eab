#include "launch/installer_copy.h"

#include <aclapi.h>
#include <bcrypt.h>
#include <sddl.h>

#include "base/hex.h"
#include "base/product.h"
#include "file_safety/file_identity.h"
#include "file_safety/path_checks.h"
#include "launch/file_digest.h"
#include "win32/known_folder.h"
#include "win32/last_error.h"

namespace veltrix {
namespace {

// FOLDERID_LocalAppData, {F1B32785-6FBA-4FCF-9D55-7B8E7F157091}.
constexpr GUID kLocalAppDataFolderId = {
    0xF1B32785, 0x6FBA, 0x4FCF, {0x9D, 0x55, 0x7B, 0x8E, 0x7F, 0x15, 0x70, 0x91}};
constexpr size_t kRandomNameBytes = 16;

Win32Result<> MakeFolder(const std::wstring& path) {
  if (!::CreateDirectoryW(path.c_str(), nullptr) && ::GetLastError() != ERROR_ALREADY_EXISTS) {
    return LastError();
  }
  return Done{};
}

Win32Result<std::wstring> LocalUpdatesFolder() {
  const Win32Result<std::wstring> local = KnownFolderPath(kLocalAppDataFolderId);
  if (!local) return local.error();
  const std::wstring product = *local + L"\\" VELTRIX_PRODUCT_NAME_W;
  const std::wstring updates = product + L"\\Updates";
  for (const std::wstring* folder : {&product, &updates}) {
    if (const auto made = MakeFolder(*folder); !made) return made.error();
  }
  return updates;
}

Win32Result<> LockObject(HANDLE object, PSECURITY_DESCRIPTOR locked) {
  BOOL present = FALSE;
  BOOL defaulted = FALSE;
  PACL dacl = nullptr;
  if (!::GetSecurityDescriptorDacl(locked, &present, &dacl, &defaulted)) return LastError();
  const DWORD status = ::SetSecurityInfo(
      object, SE_FILE_OBJECT, DACL_SECURITY_INFORMATION | PROTECTED_DACL_SECURITY_INFORMATION,
      nullptr, nullptr, dacl, nullptr);
  if (status != ERROR_SUCCESS) return Win32Error(status);
  return Done{};
}

// The copy of an earlier launch, unless something still uses it (a running
// installer). Only folders are looked into, never through a link.
void RemoveEarlierCopy(const std::wstring& folderPath) {
  UniqueKernelHandle folder(
      ::CreateFileW(folderPath.c_str(), DELETE | FILE_LIST_DIRECTORY | FILE_READ_ATTRIBUTES,
                    FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr, OPEN_EXISTING,
                    FILE_FLAG_BACKUP_SEMANTICS | FILE_FLAG_OPEN_REPARSE_POINT, nullptr));
  const auto info = folder ? ReadFileInformation(folder.Get())
                           : Win32Result<BY_HANDLE_FILE_INFORMATION>(LastError());
  if (!info || !IsPlainDirectory(*info)) return;
  UniqueKernelHandle copy(::CreateFileW((folderPath + L"\\" + kInstallerFileName).c_str(), DELETE,
                                        FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                        nullptr, OPEN_EXISTING, FILE_FLAG_OPEN_REPARSE_POINT,
                                        nullptr));
  if (copy) MarkForDeletion(copy.Get());
  copy.Reset();
  // Refused while anything is left inside.
  MarkForDeletion(folder.Get());
}

void RemoveEarlierCopies(const std::wstring& updates) {
  WIN32_FIND_DATAW entry{};
  const HANDLE search = ::FindFirstFileW((updates + L"\\*").c_str(), &entry);
  if (search == INVALID_HANDLE_VALUE) return;
  do {
    const std::wstring name = entry.cFileName;
    if (name != L"." && name != L"..") RemoveEarlierCopy(updates + L"\\" + name);
  } while (::FindNextFileW(search, &entry));
  ::FindClose(search);
}

// A name nobody can guess or has used: 32 random hexadecimal digits.
Win32Result<std::wstring> RandomFolderName() {
  uint8_t random[kRandomNameBytes] = {};
  if (!BCRYPT_SUCCESS(
          ::BCryptGenRandom(nullptr, random, sizeof(random), BCRYPT_USE_SYSTEM_PREFERRED_RNG))) {
    return Win32Error(Win32Error::kInternalError);
  }
  const std::string hex = LowerHex(random);
  return std::wstring(hex.begin(), hex.end());
}

using CopyFailure = Failure<InstallerRefusal>;

// Everything written so far goes again when the copy is refused; the
// folder only when nothing else was put into it.
void Discard(InstallerCopy& copy, const std::wstring& folderPath) {
  if (copy.installer) MarkForDeletion(copy.installer.Get());
  copy.installer.Reset();
  copy.folder.Reset();
  ::RemoveDirectoryW(folderPath.c_str());
}

// Writes the download into the new copy; the digest of what was written
// decides.
Expected<Done, CopyFailure> WriteCopy(HANDLE download, uint64_t size, const std::string& sha256,
                                      HANDLE copy, const InstallerCopySteps& steps) {
  const Win32Result<std::string> written =
      ReadWithSha256(download, size, [&](std::span<uint8_t> piece) -> Win32Result<> {
        if (steps.pieceRead) steps.pieceRead(piece);
        DWORD done = 0;
        if (!::WriteFile(copy, piece.data(), static_cast<DWORD>(piece.size()), &done, nullptr)) {
          return LastError();
        }
        if (done != piece.size()) return Win32Error(ERROR_WRITE_FAULT);
        return Done{};
      });
  if (!written) return CopyFailure(InstallerRefusal::kUnavailable, written.error());
  if (*written != sha256) return CopyFailure(InstallerRefusal::kMismatch);
  if (!::FlushFileBuffers(copy)) return CopyFailure(InstallerRefusal::kUnavailable, LastError());
  return Done{};
}

Expected<Done, CopyFailure> Lock(InstallerCopy& copy, const InstallerCopySteps& steps) {
  PSECURITY_DESCRIPTOR descriptor = nullptr;
  if (!::ConvertStringSecurityDescriptorToSecurityDescriptorW(kLockedCopySddl, SDDL_REVISION_1,
                                                              &descriptor, nullptr)) {
    return CopyFailure(InstallerRefusal::kUnavailable, LastError());
  }
  const UniqueLocalMemory owned(descriptor);
  for (const UniqueKernelHandle* object : {&copy.installer, &copy.folder}) {
    if (const auto locked = steps.lock(object->Get(), descriptor); !locked) {
      return CopyFailure(InstallerRefusal::kUnavailable, locked.error());
    }
  }
  return Done{};
}

}  // namespace

InstallerCopySteps DefaultInstallerCopySteps() { return {LocalUpdatesFolder, {}, LockObject}; }

Expected<InstallerCopy, Failure<InstallerRefusal>> MakeInstallerCopy(
    HANDLE download, uint64_t size, const std::string& sha256, const InstallerCopySteps& steps) {
  const Win32Result<std::wstring> updates = steps.updatesFolder();
  if (!updates) return CopyFailure(InstallerRefusal::kUnavailable, updates.error());
  RemoveEarlierCopies(*updates);
  const Win32Result<std::wstring> name = RandomFolderName();
  if (!name) return CopyFailure(InstallerRefusal::kUnavailable, name.error());
  const std::wstring folderPath = *updates + L"\\" + *name;
  // Fails on a name that exists: a folder is never reused.
  if (!::CreateDirectoryW(folderPath.c_str(), nullptr)) {
    return CopyFailure(InstallerRefusal::kUnavailable, LastError());
  }

  // Neither is shared for deleting: nobody else can move or replace the
  // folder or the copy while they are held, and nobody else can write the
  // copy. The folder is shared for writing as the installer needs to make
  // it its current folder; the lock lets nobody but administrators add to
  // it, and the listing below finds what came before the lock.
  InstallerCopy copy;
  copy.folder.Reset(::CreateFileW(
      folderPath.c_str(), FILE_LIST_DIRECTORY | FILE_READ_ATTRIBUTES | READ_CONTROL | WRITE_DAC,
      FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING,
      FILE_FLAG_BACKUP_SEMANTICS | FILE_FLAG_OPEN_REPARSE_POINT, nullptr));
  if (!copy.folder) return CopyFailure(InstallerRefusal::kUnavailable, LastError());
  const auto folderInfo = ReadFileInformation(copy.folder.Get());
  if (!folderInfo || !IsPlainDirectory(*folderInfo)) {
    Discard(copy, folderPath);
    return CopyFailure(InstallerRefusal::kUnsafe);
  }
  const std::wstring copyPath = folderPath + L"\\" + kInstallerFileName;
  copy.installer.Reset(::CreateFileW(
      copyPath.c_str(), GENERIC_READ | GENERIC_WRITE | READ_CONTROL | WRITE_DAC | DELETE, 0,
      nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL | FILE_FLAG_OPEN_REPARSE_POINT, nullptr));
  if (!copy.installer) {
    const Win32Error error = LastError();
    Discard(copy, folderPath);
    return CopyFailure(InstallerRefusal::kUnavailable, error);
  }

  auto done = WriteCopy(download, size, sha256, copy.installer.Get(), steps);
  if (done) done = Lock(copy, steps);
  if (!done) {
    Discard(copy, folderPath);
    return done.error();
  }
  // Anything put beside the copy before the lock shows up here.
  const auto entries = FolderEntries(copy.folder.Get());
  if (!entries || entries->size() != 1 || !PathsEqual(entries->front(), kInstallerFileName)) {
    Discard(copy, folderPath);
    return CopyFailure(InstallerRefusal::kUnsafe);
  }

  // The shell's program must be able to open the copy, so it is held for
  // reading only from here on; the locked copy no longer lets its owner
  // write it.
  copy.installer.Reset();
  copy.installer.Reset(::CreateFileW(copyPath.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                                     OPEN_EXISTING, FILE_FLAG_OPEN_REPARSE_POINT, nullptr));
  if (!copy.installer) {
    const Win32Error error = LastError();
    Discard(copy, folderPath);
    return CopyFailure(InstallerRefusal::kUnavailable, error);
  }
  return copy;
}

}  // namespace veltrix
