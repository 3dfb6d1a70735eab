#ifndef APP_CONSOLE_H_
#define APP_CONSOLE_H_

#include <windows.h>

namespace veltrix {

// Writes to the console of the command prompt that started the program
// (output and errors the caller redirected stay where they were sent), and
// ignores Ctrl+C and Ctrl+Break in it; under a debugger without one, gives
// the program a console of its own. Otherwise there is no console and output
// goes nowhere.
void AttachConsoleForOutput();

// Whether the program needs a console: for the streams the caller did not
// send elsewhere.
bool NeedsConsole(bool outputGiven, bool errorGiven);

// Closing the console the program was started from ends the program on
// Windows a few seconds later, whatever it does. From here on `window` hears
// of it (kConsoleClosedMessage) and ends the program in order meanwhile;
// null once it has gone.
void EndWithConsole(HWND window);

// Opens a new console and points the standard streams, and the engine's,
// at it.
void AttachDebugConsole();

}  // namespace veltrix

#endif  // APP_CONSOLE_H_
