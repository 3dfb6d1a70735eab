#ifndef APP_CONSOLE_H_
#define APP_CONSOLE_H_

namespace veltrix {

// Writes to the console of the command prompt that started the program
// (output and errors the caller redirected stay where they were sent), and
// keeps running when that console is closed or Ctrl+C is pressed in it;
// under a debugger without one, gives the program a console of its own.
// Otherwise there is no console and output goes nowhere.
void AttachConsoleForOutput();

// Opens a new console and points the standard streams, and the engine's,
// at it.
void AttachDebugConsole();

}  // namespace veltrix

#endif  // APP_CONSOLE_H_
