#include "dxf/text_decode.h"

#include <string_view>

namespace tesmar {
namespace {

constexpr std::u16string_view kEscape = u"\\U+";
constexpr std::size_t kEscapeLength = 7;  // "\U+" and four digits

// The number the characters after "\U+" name in hexadecimal; 0 when they are none or not all
// hexadecimal digits.
char16_t EscapeValue(std::u16string_view digits) {
  if (digits.empty()) return 0;
  unsigned value = 0;
  for (char16_t d : digits) {
    unsigned v;
    if (d >= u'0' && d <= u'9') v = d - u'0';
    else if (d >= u'a' && d <= u'f') v = d - u'a' + 10;
    else if (d >= u'A' && d <= u'F') v = d - u'A' + 10;
    else return 0;
    value = value * 16 + v;
  }
  return static_cast<char16_t>(value);
}

}  // namespace

bool DecodeUnicodeEscapesIn(std::u16string& s) {
  std::size_t pos = s.find(kEscape);
  if (pos == std::u16string::npos) return false;
  std::u16string next;
  while (pos != std::u16string::npos) {
    const std::u16string e = s.substr(pos, kEscapeLength);
    const char16_t c = EscapeValue(std::u16string_view(e).substr(kEscape.size()));
    // Replace every occurrence of e; the text before pos holds none.
    next.assign(s, 0, pos);
    std::size_t from = pos;
    for (std::size_t hit = pos; hit != std::u16string::npos; hit = s.find(e, from)) {
      next.append(s, from, hit - from);
      next.push_back(c);
      from = hit + e.size();
    }
    next.append(s, from, std::u16string::npos);
    s.swap(next);
    // The text before pos held no escape and is unchanged, so a new escape can only begin at
    // most two characters before the produced one.
    pos = s.find(kEscape, pos >= 2 ? pos - 2 : 0);
  }
  return true;
}

void DecodeUnicodeEscapes(std::vector<TTextBlk>& table) {
  for (TTextBlk& text : table) DecodeUnicodeEscapesIn(text.str);
}

}  // namespace tesmar
