#ifndef APP_SINGLE_INSTANCE_H_
#define APP_SINGLE_INSTANCE_H_

#include <windows.h>

#include <optional>

#include "app/hand_over.h"
#include "win32/unique_handle.h"

namespace veltrix {

inline void UnmapView(void* view) { ::UnmapViewOfFile(view); }
using UniqueMappedView = UniqueHandle<void*, UnmapView>;

// The one running copy of the program in this user session: the copy that
// holds a lock named in the session's namespace for this program alone (the
// window class alone is shared by every program built on the same engine),
// and publishes its window beside it.
class SessionInstance {
 public:
  // Takes the session's place if no running copy holds it.
  SessionInstance();
  // Gives the place up, so that a start waiting for it runs at once.
  ~SessionInstance();

  SessionInstance(const SessionInstance&) = delete;
  SessionInstance& operator=(const SessionInstance&) = delete;

  // This copy holds the place.
  bool first() const { return first_; }
  // The first copy: makes its window known to later starts.
  void Publish(HWND window);

  // A later start: hands over to the running copy (a plain start brings its
  // window forward, a login start leaves it alone) and answers the exit
  // code; nothing when the running copy has ended and this one takes its
  // place.
  std::optional<int> HandOver(bool loginStart);

 private:
  // Waits a moment for the running copy to end, then sees how it stands.
  RunningCopy Look();
  HWND PublishedWindow() const;
  // Asks the running copy's window to show itself: nothing once it has,
  // else why it did not.
  std::optional<RunningCopy> AskToShow(HWND window);

  UniqueKernelHandle lock_;
  UniqueKernelHandle mapping_;
  UniqueMappedView view_;
  bool first_ = true;
};

}  // namespace veltrix

#endif  // APP_SINGLE_INSTANCE_H_
