#ifndef FILE_SAFETY_TESTING_FILE_TEST_SUPPORT_H_
#define FILE_SAFETY_TESTING_FILE_TEST_SUPPORT_H_

#include <windows.h>

#include <shellapi.h>

#include <optional>
#include <string>
#include <string_view>

namespace veltrix::test {

std::string Utf8(std::wstring_view text);

// The user's temporary folder, ending with '\'.
std::wstring TempFolder();
// The folder that holds the running test program.
std::wstring ProgramFolder();

// The bytes of a file beside the running test program (a probe).
std::string ReadProbe(const wchar_t* name);

// Creates the file (replacing it) with exactly these bytes.
bool WriteBytes(const std::wstring& path, std::string_view bytes);
std::string ReadBytes(const std::wstring& path);

// A symbolic link at `link` to `target`. Under Wine, where links made through
// the Windows call are not kept, this is a Unix symlink. False when links
// cannot be made here.
bool MakeSymbolicLink(const std::wstring& link, const std::wstring& target, bool directory);

// Removes a file, link or folder tree without following links.
void RemoveTree(const std::wstring& path);

// The Windows error of opening `path` for writing with every sharing mode
// (0 when it opens).
DWORD WriteOpenError(const std::wstring& path);

// The registry's own name of an open key (\REGISTRY\MACHINE\...).
std::wstring KeyName(HKEY key);

// What a launch asked of the shell; its strings and key die with the
// launch, so they are copied.
struct ShellRecord {
  int calls = 0;
  SHELLEXECUTEINFOW info{};
  std::wstring verb, file, parameters, directory, classKey;

  void Take(const SHELLEXECUTEINFOW& asked) {
    auto text = [](const wchar_t* t) { return std::wstring(t != nullptr ? t : L""); };
    ++calls;
    info = asked;
    verb = text(asked.lpVerb);
    file = text(asked.lpFile);
    parameters = text(asked.lpParameters);
    directory = text(asked.lpDirectory);
    classKey = KeyName(asked.hkeyClass);
  }
};

// A uniquely named folder in the temporary folder, removed with everything
// in it at the end of the test.
class ScratchFolder {
 public:
  ScratchFolder();
  ~ScratchFolder() { RemoveTree(path_); }
  ScratchFolder(const ScratchFolder&) = delete;
  ScratchFolder& operator=(const ScratchFolder&) = delete;

  const std::wstring& path() const { return path_; }
  std::wstring operator/(std::wstring_view name) const {
    return path_ + L"\\" + std::wstring(name);
  }

 private:
  std::wstring path_;
};

// Sets an environment variable for the test's lifetime, restoring it after.
class ScopedEnvironmentVariable {
 public:
  ScopedEnvironmentVariable(const wchar_t* name, const std::wstring& value);
  ~ScopedEnvironmentVariable();
  ScopedEnvironmentVariable(const ScopedEnvironmentVariable&) = delete;
  ScopedEnvironmentVariable& operator=(const ScopedEnvironmentVariable&) = delete;

 private:
  std::wstring name_;
  std::optional<std::wstring> previous_;
};

}  // namespace veltrix::test

#endif  // FILE_SAFETY_TESTING_FILE_TEST_SUPPORT_H_
