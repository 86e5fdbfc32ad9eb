#include "library/name_order.h"

#include <cstdint>

namespace tesmar {
namespace {

bool IsDigit(char16_t c) { return c >= u'0' && c <= u'9'; }

// Latin-1 letters with accents and their base letters (upper case), from U+00C0.
constexpr char16_t kLatin1Base[] = u"AAAAAAACEEEEIIIIDNOOOOO*OUUUUYTSAAAAAAACEEEEIIIIDNOOOOO/OUUUUYTY";

// The primary weight of a character: its class in the high bits, its key within the class in
// the low ones.
std::uint32_t Weight(char16_t c) {
  enum : std::uint32_t { kMark = 0, kDigit = 1, kLetter = 2, kKana = 3, kOther = 4 };
  auto w = [](std::uint32_t cls, std::uint32_t key) { return (cls << 16) | key; };
  if (IsDigit(c)) return w(kDigit, c);
  if (c >= u'a' && c <= u'z') return w(kLetter, c - 32);
  if (c >= u'A' && c <= u'Z') return w(kLetter, c);
  if (c >= 0xFF21 && c <= 0xFF3A) return w(kLetter, c - 0xFEE0);  // full-width Latin
  if (c >= 0xFF41 && c <= 0xFF5A) return w(kLetter, c - 0xFF41 + u'A');
  if (c >= 0xC0 && c <= 0xFF && c != 0xD7 && c != 0xF7) return w(kLetter, kLatin1Base[c - 0xC0]);
  if (c >= 0x3041 && c <= 0x3096) return w(kKana, c + 0x60);  // hiragana as katakana
  if (c >= 0x30A1 && c <= 0x30FA) return w(kKana, c);
  if (c == 0x30FC) return w(kKana, c);
  if (c < 0x80 || (c >= 0x2000 && c <= 0x206F) || (c >= 0x3000 && c <= 0x303F) || (c >= 0xFF01 && c <= 0xFF0F))
    return w(kMark, c);
  return w(kOther, c);
}

}  // namespace

int LogicalCompare(std::u16string_view a, std::u16string_view b) {
  std::size_t i = 0, j = 0;
  while (i < a.size() && j < b.size()) {
    if (IsDigit(a[i]) && IsDigit(b[j])) {
      // Two numbers: by value, that is by the count of significant digits, then digit by digit.
      std::size_t ie = i, je = j;
      while (ie < a.size() && IsDigit(a[ie])) ++ie;
      while (je < b.size() && IsDigit(b[je])) ++je;
      std::size_t is = i, js = j;
      while (is + 1 < ie && a[is] == u'0') ++is;
      while (js + 1 < je && b[js] == u'0') ++js;
      if (ie - is != je - js) return ie - is < je - js ? -1 : 1;
      for (; is < ie; ++is, ++js)
        if (a[is] != b[js]) return a[is] < b[js] ? -1 : 1;
      i = ie;
      j = je;
      continue;
    }
    const std::uint32_t x = Weight(a[i]), y = Weight(b[j]);
    if (x != y) return x < y ? -1 : 1;
    ++i;
    ++j;
  }
  if (i < a.size()) return 1;
  if (j < b.size()) return -1;
  return 0;
}

}  // namespace tesmar
