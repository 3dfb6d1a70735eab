#ifndef BASE_HEX_H_
#define BASE_HEX_H_

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>

namespace veltrix {

// Two lower-case hexadecimal digits per byte.
std::string LowerHex(std::span<const uint8_t> bytes);

// Exactly `digits` characters, each 0-9 or a-f.
bool IsLowerHex(std::string_view text, size_t digits);

}  // namespace veltrix

#endif  // BASE_HEX_H_
