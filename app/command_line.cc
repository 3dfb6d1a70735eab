#include "app/command_line.h"

#include <windows.h>

#include <shellapi.h>

#include <string_view>

#include "base/utf.h"
#include "win32/unique_handle.h"

namespace veltrix {

std::vector<std::string> CommandLineArgumentsUtf8() {
  return CommandLineArgumentsUtf8(::GetCommandLineW());
}

std::vector<std::string> CommandLineArgumentsUtf8(const wchar_t* commandLine) {
  int count = 0;
  wchar_t** argv = ::CommandLineToArgvW(commandLine, &count);
  if (argv == nullptr) return {};
  const UniqueLocalMemory release(argv);

  std::vector<std::string> arguments;
  // Element 0 is the program name.
  for (int i = 1; i < count; ++i) arguments.push_back(Utf16ToUtf8(argv[i]).value_or(""));
  return arguments;
}

std::wstring ArgumentsAfterProgram(const wchar_t* commandLine) {
  std::wstring_view rest(commandLine);
  // The program name ends at its closing quote, or else at the first blank,
  // as Windows reads it.
  const bool quoted = !rest.empty() && rest.front() == L'"';
  size_t end = quoted ? rest.find(L'"', 1) : rest.find_first_of(L" \t");
  end = end == std::wstring_view::npos ? rest.size() : end + (quoted ? 1 : 0);
  rest.remove_prefix(end);
  const size_t first = rest.find_first_not_of(L" \t");
  return std::wstring(first == std::wstring_view::npos ? L"" : rest.substr(first));
}

void RegisterRestartWithThisStart() {
  // Too long a command line is refused: the program is then not restarted,
  // as before.
  ::RegisterApplicationRestart(ArgumentsAfterProgram(::GetCommandLineW()).c_str(),
                               RESTART_NO_CRASH | RESTART_NO_HANG | RESTART_NO_REBOOT);
}

}  // namespace veltrix
