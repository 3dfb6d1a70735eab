#ifndef BASE_EXPECTED_H_
#define BASE_EXPECTED_H_

#include <cstdint>
#include <optional>
#include <utility>
#include <variant>

namespace veltrix {

// A result without a value: the work was done.
struct Done {};

// The error code Windows gave for the call that failed, taken right after
// it. Never 0: a call that failed without leaving a code reports
// ERROR_INTERNAL_ERROR, so a failure can never be read as success.
struct Win32Error {
  static constexpr uint32_t kInternalError = 1359;  // ERROR_INTERNAL_ERROR

  constexpr explicit Win32Error(uint32_t code) : code(code != 0 ? code : kInternalError) {}

  uint32_t code;
};

// Why an operation did not do its work, in the operation's own words, and
// the Windows error behind it when Windows refused.
template <typename Reason>
struct Failure {
  constexpr Failure(Reason reason) : reason(reason) {}
  constexpr Failure(Reason reason, Win32Error cause) : reason(reason), cause(cause) {}

  Reason reason;
  std::optional<Win32Error> cause;
};

// The one way this program says how work ended: its value, or its error.
// The error is carried from the step that failed; nothing is read again
// later.
template <typename T, typename E>
class [[nodiscard]] Expected {
 public:
  Expected(T value) : state_(std::in_place_index<0>, std::move(value)) {}
  Expected(E error) : state_(std::in_place_index<1>, std::move(error)) {}

  explicit operator bool() const { return state_.index() == 0; }
  const T& operator*() const { return std::get<0>(state_); }
  T& operator*() { return std::get<0>(state_); }
  const T* operator->() const { return &std::get<0>(state_); }
  T* operator->() { return &std::get<0>(state_); }
  // Only after a failure.
  const E& error() const { return std::get<1>(state_); }

 private:
  std::variant<T, E> state_;
};

// What a Windows call gives back.
template <typename T = Done>
using Win32Result = Expected<T, Win32Error>;

}  // namespace veltrix

#endif  // BASE_EXPECTED_H_
