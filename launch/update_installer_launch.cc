#include "launch/update_installer_launch.h"

#include <optional>
#include <string>
#include <variant>

#include "file_safety/file_identity.h"
#include "file_safety/path_checks.h"
#include "file_safety/pinned_open.h"
#include "launch/file_digest.h"
#include "win32/system_paths.h"

namespace veltrix {
namespace {

// Where the installer must lie, all of it built from the temporary folder.
struct InstallerPlaces {
  std::wstring tempFolder;  // ends with '\'
  std::wstring updateFolder;
  std::wstring installer;
};

InstallerPlaces PlacesUnder(const std::wstring& tempFolder) {
  InstallerPlaces places{tempFolder, tempFolder + kUpdateFolderName, {}};
  places.installer = places.updateFolder + L"\\" + kInstallerFileName;
  return places;
}

// Held from the checks until the shell has returned: while they are open
// nobody can delete, move or write what is verified and launched. Declared in
// opening order, so they close in reverse.
struct PinnedInstaller {
  UniqueKernelHandle tempFolder;
  UniqueKernelHandle updateFolder;
  UniqueKernelHandle installer;
};

// An elevated program loads DLLs from its own folder first, so a file
// dropped beside the installer (a version.dll, say) would run with
// administrator rights behind a genuine prompt. This cannot stop a file
// added while the prompt is shown: the folder stays open to writes by the
// same user, as downloads need. The installer's own DLL search settings
// (system folder only) remain the last line.
bool AloneInItsFolder(HANDLE updateFolder) {
  const auto entries = FolderEntries(updateFolder);
  return entries && entries->size() == 1 && PathsEqual(entries->front(), kInstallerFileName);
}

// Opens all three, whatever becomes of the others; the error is that of the
// installer's open when it failed, else of the first open that failed.
Win32Result<PinnedInstaller> Pin(const InstallerPlaces& places) {
  PinnedInstaller pinned;
  pinned.tempFolder = OpenPinned(places.tempFolder, PinnedObject::TempFolder);
  const DWORD tempError = pinned.tempFolder ? ERROR_SUCCESS : ::GetLastError();
  pinned.updateFolder = OpenPinned(places.updateFolder, PinnedObject::UpdateFolder);
  const DWORD updateError = pinned.updateFolder ? ERROR_SUCCESS : ::GetLastError();
  pinned.installer = OpenPinned(places.installer, PinnedObject::InstallerFile);
  if (!pinned.installer) return Win32Error{::GetLastError()};
  if (!pinned.tempFolder) return Win32Error{tempError};
  if (!pinned.updateFolder) return Win32Error{updateError};
  return pinned;
}

// The paths the shell is given: the ordinary forms of the pinned objects'
// final paths, so that nothing it resolves can differ from what was checked
// while the handles are held, even when a link on the way is re-pointed.
struct VerifiedPlaces {
  std::wstring installer;
  std::wstring updateFolder;
};

// The installer is a plain, non-empty file alone in a plain update folder,
// and both are where their names say under the temporary folder, whose own
// final path is the anchor (it may itself be reached through a link).
std::variant<VerifiedPlaces, OperationResult> CheckPinned(const PinnedInstaller& pinned) {
  const auto updateInfo = ReadFileInformation(pinned.updateFolder.Get());
  if (!updateInfo) return OperationResult{Outcome::kInstallerUnavailable, updateInfo.error()};
  const auto installerInfo = ReadFileInformation(pinned.installer.Get());
  if (!installerInfo) {
    return OperationResult{Outcome::kInstallerUnavailable, installerInfo.error()};
  }

  const auto tempFinal = FinalPathOfHandle(pinned.tempFolder.Get());
  const auto updateFinal = FinalPathOfHandle(pinned.updateFolder.Get());
  const auto installerFinal = FinalPathOfHandle(pinned.installer.Get());
  const bool empty = installerInfo->nFileSizeHigh == 0 && installerInfo->nFileSizeLow == 0;
  const bool placed = IsPlainLocalFile(pinned.installer.Get(), *installerInfo) && !empty &&
                      IsPlainDirectory(*updateInfo) && tempFinal && updateFinal && installerFinal &&
                      PathsEqual(*updateFinal, *tempFinal + L"\\" + kUpdateFolderName) &&
                      PathsEqual(*installerFinal, *updateFinal + L"\\" + kInstallerFileName);
  if (!placed || !AloneInItsFolder(pinned.updateFolder.Get())) {
    return OperationResult{Outcome::kInstallerUnsafe};
  }
  const auto installer = DriveLetterForm(*installerFinal);
  const auto updateFolder = DriveLetterForm(*updateFinal);
  if (!installer || !updateFolder) return OperationResult{Outcome::kInstallerUnsafe};
  return VerifiedPlaces{*installer, *updateFolder};
}

}  // namespace

OperationResult LaunchUpdateInstaller(HWND owner, const InstallerRequest& request,
                                      const ShellExecuteFunction& shell) {
  const std::optional<std::wstring> given = PathFromUtf8(request.path);
  const Win32Result<std::wstring> tempFolder = TemporaryFolderPath();
  if (!given || !tempFolder) return {Outcome::kInstallerPathInvalid};
  const InstallerPlaces places = PlacesUnder(*tempFolder);
  if (!PathsEqual(*given, places.installer)) return {Outcome::kInstallerElsewhere};

  Win32Result<PinnedInstaller> pinned = Pin(places);
  if (!pinned) return {Outcome::kInstallerUnavailable, pinned.error()};
  const auto checked = CheckPinned(*pinned);
  if (const auto* refused = std::get_if<OperationResult>(&checked)) return *refused;
  if (!VerifyFileSha256(pinned->installer.Get(), request.size, request.sha256)) {
    return {Outcome::kInstallerMismatch};
  }
  const VerifiedPlaces& verified = std::get<VerifiedPlaces>(checked);
  return LaunchElevated(
      {owner, verified.installer.c_str(), nullptr, verified.updateFolder.c_str(), SW_SHOWNORMAL},
      shell, Outcome::kInstallerCancelled, Outcome::kInstallerLaunchFailed);
}

}  // namespace veltrix
