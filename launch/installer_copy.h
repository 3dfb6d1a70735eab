#ifndef LAUNCH_INSTALLER_COPY_H_
#define LAUNCH_INSTALLER_COPY_H_

#include <windows.h>

#include <functional>
#include <span>
#include <string>
#include <string_view>

#include "base/expected.h"
#include "launch/launch_results.h"
#include "win32/relative_open.h"
#include "win32/unique_handle.h"

namespace veltrix {

// The installer's name, in the download folder and in its copy.
inline constexpr wchar_t kInstallerFileName[] = L"VELTRIX-VPN-Setup-x64-beta.exe";

// The update installer is started elevated from a copy that programs of the
// same user cannot change: a new folder under
// %LOCALAPPDATA%\VELTRIX VPN\Updates holding only the copy. Both are created
// with their protection, so no other program ever holds a right to change
// them: an elevated program loads DLLs from its own folder first, and a
// version.dll dropped beside the copy would run behind a genuine prompt.

// What the copy depends on. The product uses DefaultInstallerCopySteps();
// tests replace single members to watch or attack each step.
struct InstallerCopySteps {
  // %LOCALAPPDATA%\VELTRIX VPN\Updates (made when missing).
  std::function<Win32Result<std::wstring>()> updatesFolder;
  // This process has administrator rights.
  std::function<bool()> runsElevated;
  // Makes or opens an object inside an open folder: every object of the
  // copy and of the sweep is reached this way.
  std::function<Win32Result<UniqueKernelHandle>(HANDLE folder, std::wstring_view name,
                                                const RelativeOpen& open)>
      openRelative;
  // Gives the copy's folder its locked descriptor, once the copy is written.
  std::function<Win32Result<>(HANDLE folder, PSECURITY_DESCRIPTOR locked)> tighten;
  // Sees each piece as read from the download, before it is hashed and
  // written; may change it.
  std::function<void(std::span<uint8_t> piece)> pieceReadForTesting;
};

InstallerCopySteps DefaultInstallerCopySteps();

// The copy is born with this descriptor, and its folder is tightened to it:
// protected, no inherited entries; OWNER RIGHTS may read, execute and delete
// (so not write, nor change the DACL, which the owner otherwise always may);
// SYSTEM and Administrators have full control; nobody else has an entry.
inline constexpr wchar_t kLockedCopySddl[] = L"D:P(A;;0x1300a9;;;S-1-3-4)(A;;FA;;;SY)(A;;FA;;;BA)";
// The folder is born like that, but its owner may add a file too: the host
// adds the copy through the folder's DACL, whatever its own handle holds.
inline constexpr wchar_t kNewCopyFolderSddl[] =
    L"D:P(A;;0x1300ab;;;S-1-3-4)(A;;FA;;;SY)(A;;FA;;;BA)";

// The locked copy, held open until the shell has returned: neither can be
// written, moved or deleted meanwhile.
struct InstallerCopy {
  UniqueKernelHandle folder;
  UniqueKernelHandle installer;
};

// Copies the `size` bytes of `download` (open for reading, the request's
// size already checked) into a new locked folder, hashing what is written:
// a digest other than `sha256`, or a copy our publisher did not sign, is
// kMismatch; an Updates that is a link, or
// something other than the installer in the locked folder, kUnsafe; a
// failure to make, write or lock the copy kUnavailable with the Windows
// error. Whatever it refuses leaves no copy. Copies of earlier launches that
// nothing uses any more go first, unless this process is elevated.
Expected<InstallerCopy, Failure<InstallerRefusal>> MakeInstallerCopy(
    HANDLE download, uint64_t size, const std::string& sha256, const InstallerCopySteps& steps);

}  // namespace veltrix

#endif  // LAUNCH_INSTALLER_COPY_H_
