#ifndef WIN32_WIN32_RESULT_H_
#define WIN32_WIN32_RESULT_H_

#include <cstdint>
#include <optional>
#include <utility>

namespace veltrix {

// The Windows error code of the call that failed, read right after it.
struct Win32Error {
  uint32_t code = 0;
};

// A result without a value: the work was done.
struct Done {};

// What Windows work gives back: its value, or the Windows error of the step
// that failed. The one way this program reports a failed system call; the
// code is carried, never read again later. A failure whose call left no
// error code still fails (its code is then 0).
template <typename T = Done>
class [[nodiscard]] Win32Result {
 public:
  Win32Result(T value) : value_(std::move(value)) {}
  Win32Result(Win32Error error) : error_(error.code) {}

  explicit operator bool() const { return value_.has_value(); }
  const T& operator*() const { return *value_; }
  T& operator*() { return *value_; }
  const T* operator->() const { return &*value_; }
  T* operator->() { return &*value_; }

  // 0 after success.
  uint32_t error() const { return error_; }

 private:
  std::optional<T> value_;
  uint32_t error_ = 0;
};

}  // namespace veltrix

#endif  // WIN32_WIN32_RESULT_H_
