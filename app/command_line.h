#ifndef APP_COMMAND_LINE_H_
#define APP_COMMAND_LINE_H_

#include <string>
#include <vector>

namespace veltrix {

// The process's arguments after the program name, each as UTF-8. An
// argument that is not valid UTF-16 comes out as an empty string in its
// place; an unsplittable command line gives no arguments.
std::vector<std::string> CommandLineArgumentsUtf8();

// The same for a given command line (the program name first).
std::vector<std::string> CommandLineArgumentsUtf8(const wchar_t* commandLine);

// What follows the program name on `commandLine`, exactly as written: the
// arguments to start the program with again.
std::wstring ArgumentsAfterProgram(const wchar_t* commandLine);

// Has Windows start the program again with this start's arguments when an
// installer closes it through Restart Manager; never after a crash, a hang
// or a reboot.
void RegisterRestartWithThisStart();

}  // namespace veltrix

#endif  // APP_COMMAND_LINE_H_
