#ifndef APP_START_FAILURE_H_
#define APP_START_FAILURE_H_

#include <string>

#include "locale/host_texts.h"

namespace veltrix {

// What kept the program from starting, as far as it can tell.
struct StartFailure {
  enum class Kind {
    // A file of the installation, named, is missing or damaged.
    kBrokenFile,
    // The top-level window could not be made.
    kWindow,
    // The engine did not start, with every file of its data in place.
    kEngine,
    // The engine refused the view.
    kView,
    // Another copy runs in this session but does not answer.
    kNotResponding,
  };
  Kind kind;
  std::wstring file;
};

// An engine that did not start: the first file of its data folder that is
// missing names the fault, if any is.
StartFailure EngineStartFailure();

// One or two sentences for the user in the words of `texts`: what went
// wrong, and what to do.
std::wstring StartFailureMessage(const HostTexts& texts, const StartFailure& failure);

// Tells the user in a message box, in the language of the Windows display
// (the user interface, which knows the user's choice, is not there), however
// the program was started, and answers the process's exit code.
int ReportStartFailure(const StartFailure& failure);

}  // namespace veltrix

#endif  // APP_START_FAILURE_H_
