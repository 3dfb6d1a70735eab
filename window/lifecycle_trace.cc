#include "window/lifecycle_trace.h"

#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

namespace veltrix {
namespace {

unsigned long long Ticks(const FILETIME& time) {
  return (static_cast<unsigned long long>(time.dwHighDateTime) << 32) | time.dwLowDateTime;
}

}  // namespace

LifecycleTrace::LifecycleTrace() {
  const char* trace = std::getenv("VELTRIX_TRACE");
  enabled_ = trace != nullptr && std::strcmp(trace, "1") == 0;
  FILETIME creation{}, exit{}, kernel{}, user{};
  if (enabled_ && ::GetProcessTimes(::GetCurrentProcess(), &creation, &exit, &kernel, &user)) {
    created_ = Ticks(creation);
  }
}

void LifecycleTrace::Write(LifecycleEvent event, const LifecycleActions& actions) const {
  if (!enabled_) return;
  FILETIME now{};
  ::GetSystemTimePreciseAsFileTime(&now);
  const double milliseconds = static_cast<double>(Ticks(now) - created_) / 10000.0;
  std::fprintf(stderr, "lifecycle %.1f %s\n", milliseconds,
               DescribeLifecycleStep(event, actions).c_str());
  std::fflush(stderr);
}

}  // namespace veltrix
