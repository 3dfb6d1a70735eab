// Misuse of the engine's interface that a real engine would punish (a crash,
// a hang, a reply lost) is reported, never forgiven quietly: a lenient
// stand-in would hide faults that only show on a user's machine.
#ifndef STANDIN_ENGINE_FAULTS_H_
#define STANDIN_ENGINE_FAULTS_H_

#include <cstddef>
#include <string_view>

namespace veltrix::standin {

// Writes "fault <what>" to the transcript and to standard error, and counts it.
void ReportFault(std::string_view what);
// Faults reported in this process so far.
size_t FaultCount();

}  // namespace veltrix::standin

#endif  // STANDIN_ENGINE_FAULTS_H_
