#include "file_safety/testing/file_test_support.h"

#include <bcrypt.h>

#include <array>
#include <atomic>
#include <vector>

#include "win32/bcrypt_handles.h"
#include "win32/system_paths.h"
#include "win32/wide_to_utf8.h"

namespace veltrix::test {
namespace {

using WineUnixFileName = char*(CDECL*)(const wchar_t*);

WineUnixFileName WineUnixFileNameFunction() {
  HMODULE kernel = ::GetModuleHandleW(L"kernel32.dll");
  if (kernel == nullptr) return nullptr;
  return reinterpret_cast<WineUnixFileName>(
      reinterpret_cast<void*>(::GetProcAddress(kernel, "wine_get_unix_file_name")));
}

std::string UnixPath(const std::wstring& path) {
  WineUnixFileName convert = WineUnixFileNameFunction();
  if (convert == nullptr) return std::string();
  char* name = convert(path.c_str());
  if (name == nullptr) return std::string();
  std::string result(name);
  ::HeapFree(::GetProcessHeap(), 0, name);
  return result;
}

// Runs a shell script as a Unix process. Wine gives no usable handle for
// such a process, so the script leaves its exit status in a marker file that
// is waited for.
bool RunUnixScript(const std::string& script) {
  static std::atomic<int> counter{0};
  const std::wstring marker = TempFolder() + L"unix-done-" +
                              std::to_wstring(::GetCurrentProcessId()) + L"-" +
                              std::to_wstring(counter++);
  const std::string unixMarker = UnixPath(marker);
  if (unixMarker.empty()) return false;
  const std::string full = script + "; echo $? > '" + unixMarker + ".tmp'; mv '" + unixMarker +
                           ".tmp' '" + unixMarker + "'";
  std::wstring commandLine = L"/bin/sh -c \"" + Wide(full) + L"\"";
  STARTUPINFOW startup{};
  startup.cb = sizeof(startup);
  PROCESS_INFORMATION process{};
  if (!::CreateProcessW(L"Z:\\bin\\sh", commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr,
                        nullptr, &startup, &process)) {
    return false;
  }
  UniqueKernelHandle processHandle(process.hProcess);
  UniqueKernelHandle threadHandle(process.hThread);
  for (int i = 0; i < 600; ++i) {
    const std::string status = ReadBytes(marker);
    if (!status.empty()) {
      ::DeleteFileW(marker.c_str());
      return status.rfind("0\n", 0) == 0;
    }
    ::Sleep(10);
  }
  return false;
}

std::string Quoted(const std::string& unixPath) { return "'" + unixPath + "'"; }

void RemoveTreeWindows(const std::wstring& path) {
  const DWORD attributes = ::GetFileAttributesW(path.c_str());
  if (attributes == INVALID_FILE_ATTRIBUTES) return;
  if ((attributes & FILE_ATTRIBUTE_DIRECTORY) != 0 &&
      (attributes & FILE_ATTRIBUTE_REPARSE_POINT) == 0) {
    WIN32_FIND_DATAW found;
    HANDLE search = ::FindFirstFileW((path + L"\\*").c_str(), &found);
    if (search != INVALID_HANDLE_VALUE) {
      do {
        const std::wstring name = found.cFileName;
        if (name != L"." && name != L"..") RemoveTreeWindows(path + L"\\" + name);
      } while (::FindNextFileW(search, &found));
      ::FindClose(search);
    }
  }
  if ((attributes & FILE_ATTRIBUTE_DIRECTORY) != 0) {
    ::RemoveDirectoryW(path.c_str());
  } else {
    ::SetFileAttributesW(path.c_str(), FILE_ATTRIBUTE_NORMAL);
    ::DeleteFileW(path.c_str());
  }
}

}  // namespace

std::string Utf8(std::wstring_view text) { return WideToUtf8(std::wstring(text).c_str()); }

std::wstring Wide(std::string_view utf8) {
  if (utf8.empty()) return std::wstring();
  const int units =
      ::MultiByteToWideChar(CP_UTF8, 0, utf8.data(), static_cast<int>(utf8.size()), nullptr, 0);
  std::wstring out(static_cast<size_t>(units), L'\0');
  ::MultiByteToWideChar(CP_UTF8, 0, utf8.data(), static_cast<int>(utf8.size()), out.data(), units);
  return out;
}

std::wstring TempFolder() { return *TemporaryFolderPath(); }

std::wstring ProgramFolder() {
  const std::wstring path = *RunningModulePath();
  return path.substr(0, path.rfind(L'\\'));
}

bool RunningUnderWine() { return WineUnixFileNameFunction() != nullptr; }

bool WriteBytes(const std::wstring& path, std::string_view bytes) {
  UniqueKernelHandle file(::CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                        FILE_ATTRIBUTE_NORMAL, nullptr));
  if (!file) return false;
  size_t offset = 0;
  while (offset < bytes.size()) {
    const DWORD chunk = static_cast<DWORD>(std::min<size_t>(bytes.size() - offset, 1 << 20));
    DWORD written = 0;
    if (!::WriteFile(file.Get(), bytes.data() + offset, chunk, &written, nullptr) || written == 0) {
      return false;
    }
    offset += written;
  }
  return true;
}

std::string ReadBytes(const std::wstring& path) {
  UniqueKernelHandle file(::CreateFileW(path.c_str(), GENERIC_READ,
                                        FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING,
                                        0, nullptr));
  std::string bytes;
  if (!file) return bytes;
  char buffer[4096];
  DWORD read = 0;
  while (::ReadFile(file.Get(), buffer, sizeof(buffer), &read, nullptr) && read > 0) {
    bytes.append(buffer, read);
  }
  return bytes;
}

std::string Sha256Hex(std::string_view bytes) {
  UniqueAlgorithmProvider provider;
  UniqueHash hash;
  std::array<UCHAR, 32> digest{};
  if (::BCryptOpenAlgorithmProvider(provider.Receive(), BCRYPT_SHA256_ALGORITHM, nullptr, 0) < 0 ||
      ::BCryptCreateHash(provider.Get(), hash.Receive(), nullptr, 0, nullptr, 0, 0) < 0 ||
      ::BCryptHashData(hash.Get(), reinterpret_cast<PUCHAR>(const_cast<char*>(bytes.data())),
                       static_cast<ULONG>(bytes.size()), 0) < 0 ||
      ::BCryptFinishHash(hash.Get(), digest.data(), 32, 0) < 0) {
    return std::string();
  }
  static constexpr char kHex[] = "0123456789abcdef";
  std::string text;
  for (UCHAR byte : digest) {
    text.push_back(kHex[byte >> 4]);
    text.push_back(kHex[byte & 0xF]);
  }
  return text;
}

bool MakeSymbolicLink(const std::wstring& link, const std::wstring& target, bool directory) {
  if (RunningUnderWine()) {
    const size_t slash = link.rfind(L'\\');
    const std::string linkParent = UnixPath(link.substr(0, slash));
    const std::string targetPath = UnixPath(target);
    if (linkParent.empty() || targetPath.empty()) return false;
    return RunUnixScript("ln -s " + Quoted(targetPath) + " " +
                         Quoted(linkParent + "/" + Utf8(link.substr(slash + 1)))) &&
           ::GetFileAttributesW(link.c_str()) != INVALID_FILE_ATTRIBUTES;
  }
  const DWORD flags =
      (directory ? SYMBOLIC_LINK_FLAG_DIRECTORY : 0) | SYMBOLIC_LINK_FLAG_ALLOW_UNPRIVILEGED_CREATE;
  return ::CreateSymbolicLinkW(link.c_str(), target.c_str(), flags) != FALSE;
}

void RemoveTree(const std::wstring& path) {
  if (RunningUnderWine()) {
    // rm does not follow links, which a Windows walk cannot tell apart here.
    const std::string unixPath = UnixPath(path);
    if (!unixPath.empty() && unixPath != "/") RunUnixScript("rm -rf " + Quoted(unixPath));
    return;
  }
  RemoveTreeWindows(path);
}

DWORD WriteOpenError(const std::wstring& path) {
  UniqueKernelHandle file(::CreateFileW(path.c_str(), GENERIC_WRITE,
                                        FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                        nullptr, OPEN_EXISTING, 0, nullptr));
  return file ? ERROR_SUCCESS : ::GetLastError();
}

ScratchFolder::ScratchFolder(const std::wstring& parent) {
  static std::atomic<int> counter{0};
  std::wstring base = parent;
  if (!base.empty() && base.back() == L'\\') base.pop_back();
  path_ = base + L"\\launch-test-" + std::to_wstring(::GetCurrentProcessId()) + L"-" +
          std::to_wstring(counter++);
  ::CreateDirectoryW(path_.c_str(), nullptr);
}

ScratchFolder::~ScratchFolder() { RemoveTree(path_); }

ScopedEnvironmentVariable::ScopedEnvironmentVariable(const wchar_t* name, const std::wstring& value)
    : name_(name) {
  std::vector<wchar_t> buffer(kPathBufferUnits, L'\0');
  const DWORD length = ::GetEnvironmentVariableW(name, buffer.data(), kPathBufferUnits);
  if (length > 0 && length < kPathBufferUnits) previous_ = std::wstring(buffer.data(), length);
  ::SetEnvironmentVariableW(name, value.c_str());
}

ScopedEnvironmentVariable::~ScopedEnvironmentVariable() {
  ::SetEnvironmentVariableW(name_.c_str(), previous_ ? previous_->c_str() : nullptr);
}

}  // namespace veltrix::test
