#ifndef BASE_SCOPE_EXIT_H_
#define BASE_SCOPE_EXIT_H_

#include <utility>

namespace veltrix {

// Runs a one-off clean-up (a busy flag, a COM apartment) on every way out of
// a scope. Handles have UniqueHandle.
template <typename Function>
class [[nodiscard]] ScopeExit {
 public:
  explicit ScopeExit(Function function) : function_(std::move(function)) {}
  ~ScopeExit() { function_(); }

  ScopeExit(const ScopeExit&) = delete;
  ScopeExit& operator=(const ScopeExit&) = delete;

 private:
  Function function_;
};

}  // namespace veltrix

#endif  // BASE_SCOPE_EXIT_H_
