#include "app/command_line.h"

#include <windows.h>

#include <shellapi.h>

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

}  // namespace veltrix
