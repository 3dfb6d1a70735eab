#ifndef APP_SINGLE_INSTANCE_H_
#define APP_SINGLE_INSTANCE_H_

#include <windows.h>

#include <functional>
#include <optional>
#include <string>

#include "app/hand_over.h"
#include "base/expected.h"
#include "win32/unique_handle.h"

namespace veltrix {

inline void UnmapView(void* view) { ::UnmapViewOfFile(view); }
using UniqueMappedView = UniqueHandle<void*, UnmapView>;

// What a copy of the program goes by in the session. The product uses
// DefaultSessionObjects(); tests give names of their own.
struct SessionObjects {
  // The lock and the record of the running copy's window, in the session's
  // namespace.
  std::wstring lockName;
  std::wstring recordName;
  // The file this program runs from.
  std::function<Win32Result<std::wstring>()> programPath;
};

SessionObjects DefaultSessionObjects();

// The one running copy of the program in this user session: the copy that
// holds a lock named in the session's namespace for this program alone, and
// publishes its window beside it. Any program of the user can make objects
// of those names first, so neither proves anything: a later start hands
// over only to a window of a process that runs this program's own file.
class SessionInstance {
 public:
  // Takes the session's place if no running copy holds it.
  SessionInstance();
  explicit SessionInstance(SessionObjects objects);
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
  // code; nothing when the running copy has ended, or its window belongs to
  // another program, and this one runs instead.
  std::optional<int> HandOver(bool loginStart);

 private:
  // Waits a moment for the running copy to end, then sees how it stands;
  // the window it looked at is the one to ask.
  RunningCopy Look();
  HWND PublishedWindow() const;
  // A top-level window of this program, running from this program's file.
  bool IsOwnWindow(HWND window) const;
  // Asks the running copy's window to show itself: nothing once it has,
  // else why it did not.
  std::optional<RunningCopy> AskToShow(HWND window);

  SessionObjects objects_;
  UniqueKernelHandle lock_;
  UniqueKernelHandle mapping_;
  UniqueMappedView view_;
  HWND looked_ = nullptr;
  bool first_ = true;
};

}  // namespace veltrix

#endif  // APP_SINGLE_INSTANCE_H_
