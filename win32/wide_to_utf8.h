#ifndef WIN32_WIDE_TO_UTF8_H_
#define WIN32_WIDE_TO_UTF8_H_

#include <string>

namespace veltrix {

// UTF-16 to UTF-8. Null, empty or invalid input (an unpaired surrogate)
// gives the empty string; input is read up to 32767 units at most.
std::string WideToUtf8(const wchar_t* text);

}  // namespace veltrix

#endif  // WIN32_WIDE_TO_UTF8_H_
