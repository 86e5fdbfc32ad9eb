#include "base/strings.h"

#include <algorithm>

#include "base/codepage.h"

namespace tesmar {

std::u16string Ascii16(std::string_view ascii) {
  return std::u16string(ascii.begin(), ascii.end());
}

char16_t FoldCase16(char16_t c) {
  if (c < 0x80) return (c >= u'a' && c <= u'z') ? char16_t(c - 32) : c;
  if ((c >= 0xE0 && c <= 0xFE && c != 0xF7)) return char16_t(c - 32);         // Latin-1
  if (c >= 0x3B1 && c <= 0x3C9 && c != 0x3C2) return char16_t(c - 32);        // Greek
  if (c >= 0x430 && c <= 0x44F) return char16_t(c - 32);                       // Cyrillic
  if (c >= 0x450 && c <= 0x45F) return char16_t(c - 80);
  if (c >= 0xFF41 && c <= 0xFF5A) return char16_t(c - 32);                    // full-width
  return c;
}

std::u16string UpperCase16(std::u16string_view s) {
  std::u16string out(s);
  for (auto& c : out)
    if (c >= u'a' && c <= u'z') c = char16_t(c - 32);
  return out;
}

int CompareIgnoreCase16(std::u16string_view a, std::u16string_view b) {
  const std::size_t n = std::min(a.size(), b.size());
  for (std::size_t i = 0; i < n; ++i) {
    char16_t x = FoldCase16(a[i]), y = FoldCase16(b[i]);
    if (x != y) return x < y ? -1 : 1;
  }
  if (a.size() == b.size()) return 0;
  return a.size() < b.size() ? -1 : 1;
}

bool EqualsIgnoreCase16(std::u16string_view a, std::u16string_view b) {
  return a.size() == b.size() && CompareIgnoreCase16(a, b) == 0;
}

bool StartsWith16(std::u16string_view s, std::u16string_view prefix) {
  return s.substr(0, prefix.size()) == prefix;
}

bool EndsWithIgnoreCase16(std::u16string_view s, std::u16string_view suffix) {
  return s.size() >= suffix.size() && EqualsIgnoreCase16(s.substr(s.size() - suffix.size()), suffix);
}

std::u16string IntToStr16(long long v) { return Ascii16(std::to_string(v)); }

std::filesystem::path PathFromU16(std::u16string_view s) {
#ifdef _WIN32
  return std::filesystem::path(std::wstring(s.begin(), s.end()));
#else
  return std::filesystem::path(Utf16ToUtf8(s));
#endif
}

std::u16string U16FromPath(const std::filesystem::path& p) {
#ifdef _WIN32
  const std::wstring& w = p.native();
  return std::u16string(w.begin(), w.end());
#else
  return Utf8ToUtf16(p.native());
#endif
}

}  // namespace tesmar
