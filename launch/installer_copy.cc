#include "launch/installer_copy.h"

#include <bcrypt.h>
#include <sddl.h>

#include <algorithm>

#include "base/hex.h"
#include "base/product.h"
#include "file_safety/file_identity.h"
#include "file_safety/path_checks.h"
#include "launch/file_digest.h"
#include "launch/publisher_signature.h"
#include "win32/known_folder.h"
#include "win32/last_error.h"

namespace veltrix {
namespace {

// FOLDERID_LocalAppData, {F1B32785-6FBA-4FCF-9D55-7B8E7F157091}.
constexpr GUID kLocalAppDataFolderId = {
    0xF1B32785, 0x6FBA, 0x4FCF, {0x9D, 0x55, 0x7B, 0x8E, 0x7F, 0x15, 0x70, 0x91}};
constexpr size_t kRandomNameBytes = 16;
constexpr ULONG kShareAll = FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE;
constexpr ULONG kSynchronous = FILE_SYNCHRONOUS_IO_NONALERT;

// Updates and an old copy's folder, to be listed; never through a link.
constexpr RelativeOpen kListFolder{FILE_LIST_DIRECTORY | FILE_READ_ATTRIBUTES | SYNCHRONIZE,
                                   kShareAll, FILE_OPEN,
                                   FILE_DIRECTORY_FILE | FILE_OPEN_REPARSE_POINT | kSynchronous};
// What is removed is opened as itself, never through a link, and deleted
// through its own handle. Something still in use (a running installer, its
// current folder) refuses the open or the deletion and stays.
constexpr RelativeOpen kRemoveFolder{
    DELETE | FILE_LIST_DIRECTORY | FILE_READ_ATTRIBUTES | SYNCHRONIZE, kShareAll, FILE_OPEN,
    FILE_DIRECTORY_FILE | FILE_OPEN_REPARSE_POINT | kSynchronous};
constexpr RelativeOpen kRemoveFile{
    DELETE | FILE_READ_ATTRIBUTES | SYNCHRONIZE, kShareAll, FILE_OPEN,
    FILE_NON_DIRECTORY_FILE | FILE_OPEN_REPARSE_POINT | kSynchronous};

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

// Unknown counts as elevated: then nothing is swept.
bool ProcessRunsElevated() {
  UniqueKernelHandle token;
  TOKEN_ELEVATION elevation{};
  DWORD size = 0;
  if (!::OpenProcessToken(::GetCurrentProcess(), TOKEN_QUERY, token.Receive()) ||
      !::GetTokenInformation(token.Get(), TokenElevation, &elevation, sizeof(elevation), &size)) {
    return true;
  }
  return elevation.TokenIsElevated != 0;
}

// Through the handle alone: nothing is looked up by path, and nothing
// inside is touched, as SetSecurityInfo's inheritance would.
Win32Result<> TightenFolder(HANDLE folder, PSECURITY_DESCRIPTOR locked) {
  if (!::SetKernelObjectSecurity(
          folder, DACL_SECURITY_INFORMATION | PROTECTED_DACL_SECURITY_INFORMATION, locked)) {
    return LastError();
  }
  return Done{};
}

Win32Result<UniqueLocalMemory> Descriptor(const wchar_t* sddl) {
  UniqueLocalMemory descriptor;
  if (!::ConvertStringSecurityDescriptorToSecurityDescriptorW(
          sddl, SDDL_REVISION_1, reinterpret_cast<PSECURITY_DESCRIPTOR*>(descriptor.Receive()),
          nullptr)) {
    return LastError();
  }
  return descriptor;
}

// An object opened without following links is itself and where its name
// says. Windows shows a link opened so by its attribute; Wine follows a Unix
// link silently, and only the final path tells where it led.
bool IsItselfAt(HANDLE object, const std::wstring& finalPath) {
  const auto info = ReadFileInformation(object);
  const auto actual = FinalPathOfHandle(object);
  return info && (info->dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT) == 0 && actual &&
         PathsEqual(*actual, finalPath);
}

// Only names the copies' folders are given: 32 lower-case hexadecimal digits.
bool IsCopyFolderName(std::wstring_view name) {
  return name.size() == 2 * kRandomNameBytes &&
         std::all_of(name.begin(), name.end(), [](wchar_t c) {
           return (c >= L'0' && c <= L'9') || (c >= L'a' && c <= L'f');
         });
}

struct OpenFolder {
  UniqueKernelHandle handle;
  std::wstring finalPath;
};

using CopyFailure = Failure<InstallerRefusal>;

// Updates as it is: a link put in its place is refused, never followed.
// Its own folder is the anchor, as it may itself be reached through a link.
Expected<OpenFolder, CopyFailure> OpenUpdates(const std::wstring& path,
                                              const InstallerCopySteps& steps) {
  const size_t slash = path.rfind(L'\\');
  UniqueKernelHandle parent(::CreateFileW(path.substr(0, slash).c_str(), FILE_READ_ATTRIBUTES,
                                          kShareAll, nullptr, OPEN_EXISTING,
                                          FILE_FLAG_BACKUP_SEMANTICS, nullptr));
  if (!parent) return CopyFailure(InstallerRefusal::kUnavailable, LastError());
  const Win32Result<std::wstring> parentFinal = FinalPathOfHandle(parent.Get());
  if (!parentFinal) return CopyFailure(InstallerRefusal::kUnavailable, parentFinal.error());
  const std::wstring name = path.substr(slash + 1);
  auto updates = steps.openRelative(parent.Get(), name, kListFolder);
  if (!updates) return CopyFailure(InstallerRefusal::kUnavailable, updates.error());
  OpenFolder folder{std::move(*updates), *parentFinal + L"\\" + name};
  if (!IsItselfAt(folder.handle.Get(), folder.finalPath)) {
    return CopyFailure(InstallerRefusal::kUnsafe);
  }
  return folder;
}

// Empties an earlier copy's folder and removes it, unless something still
// uses it (a running installer). What is not itself, a link, stays.
void RemoveEarlierCopy(const OpenFolder& updates, const std::wstring& name,
                       const InstallerCopySteps& steps) {
  const auto folder = steps.openRelative(updates.handle.Get(), name, kRemoveFolder);
  const std::wstring folderPath = updates.finalPath + L"\\" + name;
  if (!folder || !IsItselfAt(folder->Get(), folderPath)) return;
  const auto entries = FolderEntries(folder->Get());
  if (!entries) return;
  for (const std::wstring& entry : *entries) {
    const auto file = steps.openRelative(folder->Get(), entry, kRemoveFile);
    if (file && IsItselfAt(file->Get(), folderPath + L"\\" + entry)) MarkForDeletion(file->Get());
  }
  // Refused while anything is left inside.
  MarkForDeletion(folder->Get());
}

// An elevated sweep could be led to delete what the user may not, so it is
// left to a later start with the user's own rights.
void RemoveEarlierCopies(const OpenFolder& updates, const InstallerCopySteps& steps) {
  if (steps.runsElevated()) return;
  const auto names = FolderEntries(updates.handle.Get());
  if (!names) return;
  for (const std::wstring& name : *names) {
    if (IsCopyFolderName(name)) RemoveEarlierCopy(updates, name, steps);
  }
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

// Writes the download into the new copy; the digest of what was written
// decides.
Expected<Done, CopyFailure> WriteCopy(HANDLE download, uint64_t size, const std::string& sha256,
                                      HANDLE copy, const InstallerCopySteps& steps) {
  const Win32Result<std::string> written =
      ReadWithSha256(download, size, [&](std::span<uint8_t> piece) -> Win32Result<> {
        if (steps.pieceReadForTesting) steps.pieceReadForTesting(piece);
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

// The shell's program must be able to open the copy, so the launch holds it
// for reading only. A reader opened beside the writer would have to let
// others write, so the writer is closed first, and the file opened again is
// the one written: same volume, same file index.
Expected<Done, CopyFailure> HoldForReading(InstallerCopy& copy, const InstallerCopySteps& steps) {
  const auto written = ReadFileInformation(copy.installer.Get());
  if (!written) return CopyFailure(InstallerRefusal::kUnavailable, written.error());
  copy.installer.Reset();
  auto reader =
      steps.openRelative(copy.folder.Get(), kInstallerFileName,
                         {FILE_GENERIC_READ, FILE_SHARE_READ, FILE_OPEN,
                          FILE_NON_DIRECTORY_FILE | FILE_OPEN_REPARSE_POINT | kSynchronous});
  if (!reader) return CopyFailure(InstallerRefusal::kUnavailable, reader.error());
  copy.installer = std::move(*reader);
  const auto read = ReadFileInformation(copy.installer.Get());
  if (!read) return CopyFailure(InstallerRefusal::kUnavailable, read.error());
  if (read->dwVolumeSerialNumber != written->dwVolumeSerialNumber ||
      read->nFileIndexHigh != written->nFileIndexHigh ||
      read->nFileIndexLow != written->nFileIndexLow) {
    return CopyFailure(InstallerRefusal::kUnsafe);
  }
  return Done{};
}

// A refused copy goes again, through handles opened inside its folder and
// Updates; the folder stays when another program put something into it.
void Discard(InstallerCopy& copy, const OpenFolder& updates, const std::wstring& name,
             const InstallerCopySteps& steps) {
  if (copy.installer) {
    copy.installer.Reset();
    const auto file = steps.openRelative(copy.folder.Get(), kInstallerFileName, kRemoveFile);
    if (file) MarkForDeletion(file->Get());
  }
  copy.folder.Reset();
  const auto folder = steps.openRelative(updates.handle.Get(), name, kRemoveFolder);
  if (folder) MarkForDeletion(folder->Get());
}

// Born locked, written, tightened, listed, held for reading, and signed by
// us.
Expected<Done, CopyFailure> FillCopy(InstallerCopy& copy, HANDLE download, uint64_t size,
                                     const std::string& sha256, PSECURITY_DESCRIPTOR locked,
                                     const InstallerCopySteps& steps) {
  // Shared with nobody while it is written.
  auto writer = steps.openRelative(copy.folder.Get(), kInstallerFileName,
                                   {FILE_GENERIC_WRITE | FILE_READ_ATTRIBUTES, 0, FILE_CREATE,
                                    FILE_NON_DIRECTORY_FILE | kSynchronous, locked});
  if (!writer) return CopyFailure(InstallerRefusal::kUnavailable, writer.error());
  copy.installer = std::move(*writer);
  if (auto written = WriteCopy(download, size, sha256, copy.installer.Get(), steps); !written) {
    return written;
  }
  if (const auto tightened = steps.tighten(copy.folder.Get(), locked); !tightened) {
    return CopyFailure(InstallerRefusal::kUnavailable, tightened.error());
  }
  // Anything put beside the copy before the folder was tightened shows up
  // here; from now on only administrators can add to it.
  const auto entries = FolderEntries(copy.folder.Get());
  if (!entries || entries->size() != 1 || !PathsEqual(entries->front(), kInstallerFileName)) {
    return CopyFailure(InstallerRefusal::kUnsafe);
  }
  if (auto held = HoldForReading(copy, steps); !held) return held;
  const Win32Result<std::wstring> path = FinalPathOfHandle(copy.installer.Get());
  if (!path) return CopyFailure(InstallerRefusal::kUnavailable, path.error());
  if (!IsSignedByOurPublisher(copy.installer.Get(), *path)) {
    return CopyFailure(InstallerRefusal::kMismatch);
  }
  return Done{};
}

}  // namespace

InstallerCopySteps DefaultInstallerCopySteps() {
  return {LocalUpdatesFolder, ProcessRunsElevated, OpenRelative, TightenFolder, {}};
}

Expected<InstallerCopy, Failure<InstallerRefusal>> MakeInstallerCopy(
    HANDLE download, uint64_t size, const std::string& sha256, const InstallerCopySteps& steps) {
  const Win32Result<std::wstring> updatesPath = steps.updatesFolder();
  if (!updatesPath) return CopyFailure(InstallerRefusal::kUnavailable, updatesPath.error());
  const auto updates = OpenUpdates(*updatesPath, steps);
  if (!updates) return updates.error();
  RemoveEarlierCopies(*updates, steps);

  const Win32Result<std::wstring> name = RandomFolderName();
  if (!name) return CopyFailure(InstallerRefusal::kUnavailable, name.error());
  const auto locked = Descriptor(kLockedCopySddl);
  const auto newFolder = Descriptor(kNewCopyFolderSddl);
  if (!locked || !newFolder) {
    return CopyFailure(InstallerRefusal::kUnavailable, (locked ? newFolder : locked).error());
  }
  // The host's handle has what creation returned, whatever the new DACL
  // grants: WRITE_DAC to tighten it, listing to see what is inside. It is
  // not shared for deleting, so nobody can move or replace the folder while
  // it is held; it is shared for writing, as the installer needs to make it
  // its current folder. Fails on a name that exists: a folder is never reused.
  auto folder = steps.openRelative(
      updates->handle.Get(), *name,
      {FILE_LIST_DIRECTORY | FILE_READ_ATTRIBUTES | READ_CONTROL | WRITE_DAC | SYNCHRONIZE,
       FILE_SHARE_READ | FILE_SHARE_WRITE, FILE_CREATE, FILE_DIRECTORY_FILE | kSynchronous,
       newFolder->Get()});
  if (!folder) return CopyFailure(InstallerRefusal::kUnavailable, folder.error());
  InstallerCopy copy{std::move(*folder), {}};
  if (auto filled = FillCopy(copy, download, size, sha256, locked->Get(), steps); !filled) {
    Discard(copy, *updates, *name, steps);
    return filled.error();
  }
  return copy;
}

}  // namespace veltrix
