#include "file_safety/testing/file_test_support.h"

#include <atomic>
#include <filesystem>
#include <fstream>
#include <iterator>

#include "base/utf.h"
#include "win32/system_paths.h"
#include "win32/unique_handle.h"

extern "C" LONG NTAPI NtQueryKey(HANDLE key, int what, void* buffer, ULONG size, ULONG* needed);

namespace veltrix::test {
namespace {

// The Unix name of a Windows path under Wine; empty elsewhere.
std::string UnixPath(const std::wstring& path) {
  using WineUnixFileName = char*(CDECL*)(const wchar_t*);
  const auto convert = reinterpret_cast<WineUnixFileName>(reinterpret_cast<void*>(
      ::GetProcAddress(::GetModuleHandleW(L"kernel32.dll"), "wine_get_unix_file_name")));
  char* name = convert != nullptr ? convert(path.c_str()) : nullptr;
  if (name == nullptr) return std::string();
  std::string result(name);
  ::HeapFree(::GetProcessHeap(), 0, name);
  return result;
}

std::string Quoted(const std::string& unixPath) { return "'" + unixPath + "'"; }

// Runs a shell script as a Unix process. Wine gives no usable handle for
// such a process, so the script leaves its exit status in a marker file that
// is waited for.
bool RunUnixScript(const std::string& script) {
  // In the Unix /tmp, which tests never redirect.
  static std::atomic<int> counter{0};
  const std::wstring marker = L"Z:\\tmp\\veltrix-unix-done-" +
                              std::to_wstring(::GetCurrentProcessId()) + L"-" +
                              std::to_wstring(counter++);
  const std::string unixMarker = UnixPath(marker);
  const std::string full = script + "; echo $? > " + Quoted(unixMarker + ".tmp") + "; mv " +
                           Quoted(unixMarker + ".tmp") + " " + Quoted(unixMarker);
  std::wstring commandLine = L"/bin/sh -c \"" + Utf8ToUtf16(full).value_or(L"") + L"\"";
  STARTUPINFOW startup{};
  startup.cb = sizeof(startup);
  PROCESS_INFORMATION process{};
  if (!::CreateProcessW(L"Z:\\bin\\sh", commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr,
                        nullptr, &startup, &process)) {
    return false;
  }
  UniqueKernelHandle processHandle(process.hProcess), threadHandle(process.hThread);
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

}  // namespace

std::wstring KeyName(HKEY key) {
  // KEY_NAME_INFORMATION (3): the name's length in bytes, then the name.
  ULONG buffer[512] = {};
  ULONG size = 0;
  if (key == nullptr || NtQueryKey(key, 3, buffer, sizeof(buffer), &size) < 0) return {};
  return std::wstring(reinterpret_cast<const wchar_t*>(buffer + 1), buffer[0] / sizeof(wchar_t));
}

std::string Utf8(std::wstring_view text) { return Utf16ToUtf8(text).value_or(""); }

std::wstring TempFolder() { return *TemporaryFolderPath(); }

std::wstring ProgramFolder() {
  const std::wstring path = *RunningModulePath();
  return path.substr(0, path.rfind(L'\\'));
}

std::string ReadProbe(const wchar_t* name) { return ReadBytes(ProgramFolder() + L"\\" + name); }

bool WriteBytes(const std::wstring& path, std::string_view bytes) {
  std::ofstream out(std::filesystem::path(path), std::ios::binary | std::ios::trunc);
  return static_cast<bool>(out.write(bytes.data(), static_cast<std::streamsize>(bytes.size())));
}

std::string ReadBytes(const std::wstring& path) {
  std::ifstream in(std::filesystem::path(path), std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), {});
}

bool MakeSymbolicLink(const std::wstring& link, const std::wstring& target, bool directory) {
  if (!UnixPath(L"C:\\").empty()) {
    const size_t slash = link.rfind(L'\\');
    const std::string linkParent = UnixPath(link.substr(0, slash));
    return RunUnixScript("ln -s " + Quoted(UnixPath(target)) + " " +
                         Quoted(linkParent + "/" + Utf8(link.substr(slash + 1)))) &&
           ::GetFileAttributesW(link.c_str()) != INVALID_FILE_ATTRIBUTES;
  }
  const DWORD flags =
      (directory ? SYMBOLIC_LINK_FLAG_DIRECTORY : 0) | SYMBOLIC_LINK_FLAG_ALLOW_UNPRIVILEGED_CREATE;
  return ::CreateSymbolicLinkW(link.c_str(), target.c_str(), flags) != FALSE;
}

void RemoveTree(const std::wstring& path) {
  // Under Wine a Unix link looks like the folder it points to, so only rm
  // can be trusted not to follow it.
  const std::string unixPath = UnixPath(path);
  if (!unixPath.empty()) {
    if (unixPath != "/") RunUnixScript("rm -rf " + Quoted(unixPath));
    return;
  }
  std::error_code ignored;
  std::filesystem::remove_all(path, ignored);
}

DWORD WriteOpenError(const std::wstring& path) {
  UniqueKernelHandle file(::CreateFileW(path.c_str(), GENERIC_WRITE,
                                        FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                        nullptr, OPEN_EXISTING, 0, nullptr));
  return file ? ERROR_SUCCESS : ::GetLastError();
}

ScratchFolder::ScratchFolder() {
  static std::atomic<int> counter{0};
  path_ = TempFolder() + L"veltrix-test-" + std::to_wstring(::GetCurrentProcessId()) + L"-" +
          std::to_wstring(counter++);
  ::CreateDirectoryW(path_.c_str(), nullptr);
}

ScopedEnvironmentVariable::ScopedEnvironmentVariable(const wchar_t* name, const std::wstring& value)
    : name_(name) {
  std::wstring buffer(kPathBufferUnits, L'\0');
  const DWORD length = ::GetEnvironmentVariableW(name, buffer.data(), kPathBufferUnits);
  if (length > 0 && length < kPathBufferUnits) previous_ = buffer.substr(0, length);
  ::SetEnvironmentVariableW(name, value.c_str());
}

ScopedEnvironmentVariable::~ScopedEnvironmentVariable() {
  ::SetEnvironmentVariableW(name_.c_str(), previous_ ? previous_->c_str() : nullptr);
}

}  // namespace veltrix::test
