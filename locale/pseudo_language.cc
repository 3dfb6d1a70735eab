#include "locale/pseudo_language.h"

#include <array>
#include <iterator>

#include "locale/translations.h"

namespace veltrix {
namespace {

// a to z as the pseudo-language writes them.
constexpr std::wstring_view kAccentedLower = L"åƀçđēƒĝĥïĵķļɱñōƥʠŕšţūṽŵẋýž";
constexpr std::wstring_view kAccentedUpper = L"ÅƁÇĐĒƑĜĤÏĴĶĻṀÑŎƤǪŔŠŢŪṼŴẊÝŽ";
static_assert(kAccentedLower.size() == 26 && kAccentedUpper.size() == 26,
              "one UTF-16 unit per letter");

bool IsLower(wchar_t c) { return c >= L'a' && c <= L'z'; }
bool IsUpper(wchar_t c) { return c >= L'A' && c <= L'Z'; }

class PseudoTable {
 public:
  PseudoTable() {
    for (size_t i = 0; i < std::size(kAllHostTexts); ++i) {
      storage_[i] = Pseudolocalize(kEnglishTexts.*kAllHostTexts[i]);
      texts_.*kAllHostTexts[i] = storage_[i];
    }
  }
  const HostTexts& texts() const { return texts_; }

 private:
  std::array<std::wstring, std::size(kAllHostTexts)> storage_;
  HostTexts texts_;
};

}  // namespace

std::wstring Pseudolocalize(std::wstring_view english) {
  std::wstring pseudo = L"[";
  size_t i = 0;
  while (i < english.size()) {
    size_t end = i;
    while (end < english.size() && (IsLower(english[end]) || IsUpper(english[end]))) ++end;
    if (end == i) {
      pseudo += english[i++];
      continue;
    }
    const std::wstring_view word = english.substr(i, end - i);
    bool name = word.size() > 1;
    for (wchar_t c : word) name = name && IsUpper(c);
    const bool extension = i > 0 && english[i - 1] == L'.';
    for (wchar_t c : word) {
      pseudo += name || extension ? c
                : IsLower(c)      ? kAccentedLower[c - L'a']
                                  : kAccentedUpper[c - L'A'];
    }
    i = end;
  }
  pseudo += L' ';
  pseudo.append((english.size() * 2 + 4) / 5, L'·');
  pseudo += L']';
  return pseudo;
}

const HostTexts& PseudoTexts() {
  static const PseudoTable table;
  return table.texts();
}

}  // namespace veltrix
