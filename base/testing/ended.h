#ifndef BASE_TESTING_ENDED_H_
#define BASE_TESTING_ENDED_H_

#include <cstdint>
#include <optional>
#include <utility>

#include "base/expected.h"

namespace veltrix::test {

// How an operation ended, to compare in one expectation: its refusal (none
// when it did its work) and the Windows error behind it (0 when none).
template <typename T, typename Reason>
std::pair<std::optional<Reason>, uint32_t> Ended(const Expected<T, Failure<Reason>>& result) {
  if (result) return {std::nullopt, 0};
  return {result.error().reason, result.error().cause ? result.error().cause->code : 0};
}

template <typename Reason>
std::pair<std::optional<Reason>, uint32_t> Ending(Reason reason, uint32_t cause = 0) {
  return {reason, cause};
}

}  // namespace veltrix::test

#endif  // BASE_TESTING_ENDED_H_
