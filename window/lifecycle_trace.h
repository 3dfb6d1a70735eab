#ifndef WINDOW_LIFECYCLE_TRACE_H_
#define WINDOW_LIFECYCLE_TRACE_H_

#include "lifecycle/host_lifecycle.h"

namespace veltrix {

// With VELTRIX_TRACE=1 in the environment, each lifecycle event and what it
// led to goes to standard error as one line, with the milliseconds since the
// process was created: "lifecycle 412.7 first-frame -> show". Nothing when
// the variable is unset.
class LifecycleTrace {
 public:
  LifecycleTrace();

  void Write(LifecycleEvent event, const LifecycleActions& actions) const;

 private:
  bool enabled_;
  // The process's creation, in 100 ns units since 1601.
  unsigned long long created_ = 0;
};

}  // namespace veltrix

#endif  // WINDOW_LIFECYCLE_TRACE_H_
