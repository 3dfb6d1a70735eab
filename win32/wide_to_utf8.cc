#include "win32/wide_to_utf8.h"

#include <windows.h>

#include <cwchar>

namespace veltrix {
namespace {

constexpr size_t kMaxInputUnits = 32767;

}  // namespace

std::string WideToUtf8(const wchar_t* text) {
  if (text == nullptr) return {};
  const int length = static_cast<int>(wcsnlen(text, kMaxInputUnits));
  const int size = WideCharToMultiByte(CP_UTF8, WC_ERR_INVALID_CHARS, text, length, nullptr, 0,
                                       nullptr, nullptr);
  if (size == 0) return {};
  std::string utf8(static_cast<size_t>(size), '\0');
  if (WideCharToMultiByte(CP_UTF8, WC_ERR_INVALID_CHARS, text, length, utf8.data(), size, nullptr,
                          nullptr) == 0) {
    return {};
  }
  return utf8;
}

}  // namespace veltrix
