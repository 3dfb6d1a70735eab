#include "file_safety/path_checks.h"

#include "base/utf.h"

#include <windows.h>

#include <climits>
#include <cstring>

#include "win32/system_paths.h"

namespace veltrix {
namespace {

constexpr size_t kMaxPathTextBytes = 0x1FFFC;
constexpr size_t kMinSafePathUnits = 4;
constexpr size_t kMaxSafePathUnits = kPathBufferUnits - 2;

bool IsAsciiLetter(wchar_t c) { return (c >= L'A' && c <= L'Z') || (c >= L'a' && c <= L'z'); }

bool IsForbiddenUnit(wchar_t c) {
  if (c <= 0x1F) return true;
  switch (c) {
    case L'"':
    case L'*':
    case L'/':
    case L':':
    case L'<':
    case L'>':
    case L'?':
    case L'|':
      return true;
    default:
      return false;
  }
}

// CON, PRN, AUX, NUL, COM0-9, LPT0-9 (with the superscript digits too),
// CONIN$ and CONOUT$, in any letter case: names the system turns into devices
// in every folder, whatever follows their first dot.
bool IsDeviceName(std::wstring_view component) {
  std::wstring_view stem = component.substr(0, component.find(L'.'));
  while (!stem.empty() && stem.back() == L' ') stem.remove_suffix(1);
  std::wstring upper(stem);
  for (wchar_t& c : upper) c = (c >= L'a' && c <= L'z') ? static_cast<wchar_t>(c - 32) : c;
  if (upper == L"CON" || upper == L"PRN" || upper == L"AUX" || upper == L"NUL" ||
      upper == L"CONIN$" || upper == L"CONOUT$") {
    return true;
  }
  if (upper.size() != 4 || (upper.compare(0, 3, L"COM") != 0 && upper.compare(0, 3, L"LPT") != 0)) {
    return false;
  }
  const wchar_t digit = upper[3];
  return (digit >= L'0' && digit <= L'9') || digit == L'\u00B9' || digit == L'\u00B2' ||
         digit == L'\u00B3';
}

bool IsAcceptableComponent(std::wstring_view component) {
  if (component.empty() || component == L"." || component == L"..") return false;
  wchar_t last = component.back();
  return last != L'.' && last != L' ' && !IsDeviceName(component);
}

}  // namespace

std::optional<std::wstring> PathFromUtf8(std::string_view text) {
  if (text.empty() || text.size() > kMaxPathTextBytes) return std::nullopt;
  if (std::memchr(text.data(), 0, text.size()) != nullptr) return std::nullopt;

  std::optional<std::wstring> converted = Utf8ToUtf16(text);
  if (!converted || converted->size() >= kPathBufferUnits - 1) return std::nullopt;
  std::wstring& path = *converted;
  for (wchar_t& unit : path) {
    if (unit == L'/') unit = L'\\';
  }
  if (!IsSafeLocalPath(path)) return std::nullopt;
  return path;
}

bool IsSafeLocalPath(std::wstring_view path) {
  if (path.size() < kMinSafePathUnits || path.size() > kMaxSafePathUnits) return false;
  if (!IsAsciiLetter(path[0]) || path[1] != L':' || path[2] != L'\\') return false;

  const std::wstring_view rest = path.substr(3);
  for (wchar_t unit : rest) {
    if (IsForbiddenUnit(unit)) return false;
  }
  // Splitting at every '\' also catches a doubled and a trailing separator,
  // both of which leave an empty component.
  size_t start = 0;
  while (true) {
    const size_t end = rest.find(L'\\', start);
    const std::wstring_view component =
        rest.substr(start, end == std::wstring_view::npos ? std::wstring_view::npos : end - start);
    if (!IsAcceptableComponent(component)) return false;
    if (end == std::wstring_view::npos) return true;
    start = end + 1;
  }
}

bool PathsEqual(std::wstring_view a, std::wstring_view b) {
  if (a.size() > INT_MAX || b.size() > INT_MAX) return false;
  return ::CompareStringOrdinal(a.data(), static_cast<int>(a.size()), b.data(),
                                static_cast<int>(b.size()), TRUE) == CSTR_EQUAL;
}

bool HasExtension(std::wstring_view path, std::wstring_view extension) {
  return path.size() >= extension.size() &&
         PathsEqual(path.substr(path.size() - extension.size()), extension);
}

}  // namespace veltrix
