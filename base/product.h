#ifndef BASE_PRODUCT_H_
#define BASE_PRODUCT_H_

// The product's name, said once. A macro as well, so that wide string
// literals and the resource script can be built from it.
#define VELTRIX_PRODUCT_NAME "VELTRIX VPN"
#define VELTRIX_PRODUCT_NAME_W L"VELTRIX VPN"
// Names of session-wide objects carry this, so that they are this program's alone.
#define VELTRIX_SESSION_TAG_W VELTRIX_PRODUCT_NAME_W L" {8A3C5E2B-7D41-4F0E-9B6A-2C1E5D7F9A30}"

namespace veltrix {

inline constexpr wchar_t kProductName[] = VELTRIX_PRODUCT_NAME_W;

}  // namespace veltrix

#endif  // BASE_PRODUCT_H_
