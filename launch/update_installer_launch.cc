#include "launch/update_installer_launch.h"

#include <vector>

#include "desktop/desktop_reply.h"
#include "launch/file_digest.h"
#include "launch/file_identity.h"
#include "win32/unique_handle.h"

namespace veltrix {
namespace {

constexpr char kInvalidPathCode[] = "invalid_installer_path";
constexpr char kUnavailableCode[] = "installer_unavailable";
constexpr char kLaunchMessage[] = "Could not launch the update installer.";

void ReplyInvalidPath(flutter::MethodResult& result) {
  ReplyError(result, kInvalidPathCode, "Invalid update installer path.");
}

void ReplyUnsafePath(flutter::MethodResult& result) {
  ReplyError(result, kInvalidPathCode, "Unsafe update installer path.");
}

void ReplyUnavailable(flutter::MethodResult& result, DWORD error) {
  ReplyWin32Error(result, kUnavailableCode, "Update installer is unavailable.", error);
}

}  // namespace

void LaunchUpdateInstaller(HWND owner, const std::string& path, const std::string& sha256,
                           uint64_t size, flutter::MethodResult& result) {
  LaunchUpdateInstaller(owner, path, sha256, size, result, ::ShellExecuteExW);
}

void LaunchUpdateInstaller(HWND owner, const std::string& path, const std::string& sha256,
                           uint64_t size, flutter::MethodResult& result,
                           const ShellExecuteFunction& shellExecute) {
  std::vector<wchar_t> tempBuffer(kPathBufferUnits, L'\0');
  const DWORD tempLength = ::GetTempPathW(static_cast<DWORD>(tempBuffer.size()), tempBuffer.data());

  std::wstring given;
  const bool givenUsable = PathFromUtf8(path, &given);
  if (!givenUsable || tempLength < 1 || tempLength > kPathBufferUnits - 1) {
    ReplyInvalidPath(result);
    return;
  }

  // Everything that is opened or launched is built from the temporary folder;
  // the caller's text is only compared with it.
  std::wstring tempFolder(tempBuffer.data(), tempLength);
  if (tempFolder.back() != L'\\') tempFolder.push_back(L'\\');
  const std::wstring updateFolder = tempFolder + kUpdateFolderName;
  const std::wstring installer = updateFolder + L"\\" + kInstallerFileName;

  if (!PathsEqual(given, installer)) {
    ReplyError(result, kInvalidPathCode, "Installer must be in VELTRIX-updates.");
    return;
  }

  // Held until after the reply and closed in reverse order (installer,
  // update folder, temporary folder) on every way out: while they are open
  // nobody can delete, move or write what we verify and launch.
  UniqueFile tempHandle = OpenPinned(tempFolder, PinnedObject::TempFolder);
  const DWORD tempError = tempHandle ? ERROR_SUCCESS : ::GetLastError();
  UniqueFile updateHandle = OpenPinned(updateFolder, PinnedObject::UpdateFolder);
  const DWORD updateError = updateHandle ? ERROR_SUCCESS : ::GetLastError();
  UniqueFile installerHandle = OpenPinned(installer, PinnedObject::InstallerFile);
  DWORD openError = ::GetLastError();
  if (!tempHandle || !updateHandle || !installerHandle) {
    // A successful last open leaves no error behind; report the one that failed.
    if (openError == ERROR_SUCCESS)
      openError = tempError != ERROR_SUCCESS ? tempError : updateError;
    ReplyUnavailable(result, openError);
    return;
  }

  BY_HANDLE_FILE_INFORMATION updateInfo;
  BY_HANDLE_FILE_INFORMATION installerInfo;
  if (!ReadFileInformation(updateHandle.Get(), &updateInfo) ||
      !ReadFileInformation(installerHandle.Get(), &installerInfo)) {
    ReplyUnavailable(result, ::GetLastError());
    return;
  }

  const std::wstring tempFinal = FinalPathOfHandle(tempHandle.Get());
  const std::wstring updateFinal = FinalPathOfHandle(updateHandle.Get());
  const std::wstring installerFinal = FinalPathOfHandle(installerHandle.Get());
  const bool installerNonEmpty =
      installerInfo.nFileSizeHigh != 0 || installerInfo.nFileSizeLow != 0;
  const bool safe = IsPlainLocalFile(installerHandle.Get(), installerInfo) && installerNonEmpty &&
                    IsPlainDirectory(updateInfo) && !tempFinal.empty() && !updateFinal.empty() &&
                    !installerFinal.empty() &&
                    PathsEqual(updateFinal, tempFinal + L"\\" + kUpdateFolderName) &&
                    PathsEqual(installerFinal, updateFinal + L"\\" + kInstallerFileName);
  if (!safe) {
    ReplyUnsafePath(result);
    return;
  }

  if (!VerifyFileSha256(installerHandle.Get(), size, sha256)) {
    ReplyError(result, "installer_verification_failed",
               "Installer bytes do not match the verified release.");
    return;
  }

  SHELLEXECUTEINFOW info =
      ElevatedLaunchInfo(owner, installer.c_str(), nullptr, updateFolder.c_str(), SW_SHOWNORMAL);
  const bool launched = shellExecute(&info) != FALSE;
  const DWORD launchError = launched ? ERROR_SUCCESS : ::GetLastError();
  // The installer is not waited for.
  UniqueFile(info.hProcess).Reset();

  if (launched) {
    result.Success();
  } else {
    ReplyWin32Error(
        result, launchError == ERROR_CANCELLED ? "installer_cancelled" : "installer_launch_failed",
        kLaunchMessage, launchError);
  }
}

}  // namespace veltrix
