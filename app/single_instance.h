#ifndef APP_SINGLE_INSTANCE_H_
#define APP_SINGLE_INSTANCE_H_

#include <windows.h>

#include "win32/unique_handle.h"

namespace veltrix {

inline void UnmapView(void* view) { ::UnmapViewOfFile(view); }
using UniqueMappedView = UniqueHandle<void*, UnmapView>;

// The one running copy of the program in this user session, found through a
// name in the session's namespace that only this program uses (the window
// class alone is shared by every program built on the same engine).
class SessionInstance {
 public:
  // Claims the session's name for this copy.
  SessionInstance();

  // No other copy held the name.
  bool first() const { return first_; }
  // The first copy: makes its window known to later starts.
  void Publish(HWND window);
  // A later copy: the running copy's window, once it has one (it may still
  // be starting; waits up to two seconds); null when none comes.
  HWND RunningWindow() const;

 private:
  UniqueKernelHandle mapping_;
  UniqueMappedView view_;
  bool first_ = true;
};

// A later start: a plain one brings the running copy's window to the front,
// a login start leaves it alone. Either way this copy ends, with exit code 0.
int HandOverToRunningCopy(const SessionInstance& instance, bool loginStart);

}  // namespace veltrix

#endif  // APP_SINGLE_INSTANCE_H_
