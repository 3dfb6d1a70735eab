#include "launch/update_installer_launch.h"

#include <optional>
#include <string>

#include "file_safety/file_identity.h"
#include "file_safety/path_checks.h"
#include "file_safety/pinned_open.h"
#include "win32/last_error.h"
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

// Opens all three, whatever becomes of the others; the error is that of the
// installer's open when it failed, else of the first open that failed.
Win32Result<PinnedInstaller> Pin(const InstallerPlaces& places) {
  auto tempFolder = OpenPinned(places.tempFolder, PinnedObject::TempFolder);
  auto updateFolder = OpenPinned(places.updateFolder, PinnedObject::UpdateFolder);
  auto installer = OpenPinned(places.installer, PinnedObject::InstallerFile);
  if (!installer) return installer.error();
  if (!tempFolder) return tempFolder.error();
  if (!updateFolder) return updateFolder.error();
  return PinnedInstaller{std::move(*tempFolder), std::move(*updateFolder), std::move(*installer)};
}

// The installer is a plain, non-empty file in a plain update folder, and
// both are where their names say under the temporary folder, whose own
// final path is the anchor (it may itself be reached through a link).
Expected<Done, Failure<InstallerRefusal>> CheckPinned(const PinnedInstaller& pinned) {
  const auto updateInfo = ReadFileInformation(pinned.updateFolder.Get());
  if (!updateInfo) return Failure(InstallerRefusal::kUnavailable, updateInfo.error());
  const auto installerInfo = ReadFileInformation(pinned.installer.Get());
  if (!installerInfo) return Failure(InstallerRefusal::kUnavailable, installerInfo.error());

  const auto tempFinal = FinalPathOfHandle(pinned.tempFolder.Get());
  const auto updateFinal = FinalPathOfHandle(pinned.updateFolder.Get());
  const auto installerFinal = FinalPathOfHandle(pinned.installer.Get());
  const bool empty = installerInfo->nFileSizeHigh == 0 && installerInfo->nFileSizeLow == 0;
  const bool placed = IsPlainLocalFile(pinned.installer.Get(), *installerInfo) && !empty &&
                      IsPlainDirectory(*updateInfo) && tempFinal && updateFinal && installerFinal &&
                      PathsEqual(*updateFinal, *tempFinal + L"\\" + kUpdateFolderName) &&
                      PathsEqual(*installerFinal, *updateFinal + L"\\" + kInstallerFileName);
  // Other files may lie beside the download (a partial one, say): what runs
  // is the copy, alone in its folder.
  if (!placed) return Failure(InstallerRefusal::kUnsafe);
  return Done{};
}

// The paths the shell is given: the ordinary forms of the held copy's final
// paths, so that nothing it resolves can differ from what was written.
struct LaunchPlaces {
  std::wstring installer;
  std::wstring folder;
};

std::optional<LaunchPlaces> PlacesOf(const InstallerCopy& copy) {
  const auto installer = FinalPathOfHandle(copy.installer.Get());
  const auto folder = FinalPathOfHandle(copy.folder.Get());
  if (!installer || !folder) return std::nullopt;
  auto installerPath = DriveLetterForm(*installer);
  auto folderPath = DriveLetterForm(*folder);
  if (!installerPath || !folderPath) return std::nullopt;
  return LaunchPlaces{std::move(*installerPath), std::move(*folderPath)};
}

}  // namespace

InstallerLaunchSteps DefaultInstallerLaunchSteps() {
  return {DefaultInstallerCopySteps(), ::ShellExecuteExW};
}

InstallerLaunch LaunchUpdateInstaller(HWND owner, const InstallerRequest& request,
                                      const InstallerLaunchSteps& steps) {
  const std::optional<std::wstring> given = PathFromUtf8(request.path);
  const Win32Result<std::wstring> tempFolder = TemporaryFolderPath();
  if (!given || !tempFolder) return Failure(InstallerRefusal::kPathInvalid);
  const InstallerPlaces places = PlacesUnder(*tempFolder);
  if (!PathsEqual(*given, places.installer)) return Failure(InstallerRefusal::kElsewhere);

  const Win32Result<PinnedInstaller> pinned = Pin(places);
  if (!pinned) return Failure(InstallerRefusal::kUnavailable, pinned.error());
  if (const auto checked = CheckPinned(*pinned); !checked) return checked.error();
  LARGE_INTEGER size{};
  if (!::GetFileSizeEx(pinned->installer.Get(), &size)) {
    return Failure(InstallerRefusal::kUnavailable, LastError());
  }
  if (!IsSha256Hex(request.sha256) || request.size < 1 || request.size > kMaxInstallerSize ||
      static_cast<uint64_t>(size.QuadPart) != request.size) {
    return Failure(InstallerRefusal::kMismatch);
  }
  const auto copy =
      MakeInstallerCopy(pinned->installer.Get(), request.size, request.sha256, steps.copy);
  if (!copy) return copy.error();
  const std::optional<LaunchPlaces> launched = PlacesOf(*copy);
  if (!launched) return Failure(InstallerRefusal::kUnsafe);
  return ElevatedOutcome(LaunchElevated({owner, launched->installer.c_str(), nullptr,
                                         launched->folder.c_str(), SW_SHOWNORMAL},
                                        steps.shellExecute),
                         InstallerRefusal::kCancelled, InstallerRefusal::kLaunchFailed);
}

}  // namespace veltrix
