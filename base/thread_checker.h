#ifndef BASE_THREAD_CHECKER_H_
#define BASE_THREAD_CHECKER_H_

#include <cstdio>
#include <cstdlib>
#include <thread>

namespace veltrix {

// Checks that state which belongs to one thread (the window's) is used on the
// thread that made it. Active in the builds that run tests
// (VELTRIX_CHECK_THREADS); there a use from another thread ends the process
// with a message, so the fault cannot pass unseen. Costs nothing elsewhere.
class ThreadChecker {
 public:
  void Check() const {
#ifdef VELTRIX_CHECK_THREADS
    if (std::this_thread::get_id() != owner_) {
      std::fputs("fatal: state of the window's thread used on another thread\n", stderr);
      std::abort();
    }
#endif
  }

 private:
#ifdef VELTRIX_CHECK_THREADS
  std::thread::id owner_ = std::this_thread::get_id();
#endif
};

}  // namespace veltrix

#endif  // BASE_THREAD_CHECKER_H_
