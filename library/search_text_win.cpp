#include <windows.h>

#include <string>

#include "library/search_text.h"

namespace tesmar {
namespace {

std::wstring Map(const std::wstring& in, DWORD flags) {
  if (in.empty()) return in;
  const int n = LCMapStringEx(L"ja-JP", flags, in.c_str(), static_cast<int>(in.size()), nullptr, 0, nullptr, nullptr, 0);
  if (n <= 0) return in;
  std::wstring out(static_cast<std::size_t>(n), L'\0');
  LCMapStringEx(L"ja-JP", flags, in.c_str(), static_cast<int>(in.size()), out.data(), n, nullptr, nullptr, 0);
  return out;
}

}  // namespace

std::u16string FoldForSearch(std::u16string_view text) {
  // Everything to full-width katakana first (half-width kana with their sound marks joined),
  // then one letter case; the full-width Latin forms then go back to ASCII, so that the
  // wildcards and blanks read as such.
  std::wstring w = Map(std::wstring(text.begin(), text.end()), LCMAP_FULLWIDTH | LCMAP_KATAKANA);
  w = Map(w, LCMAP_LOWERCASE);
  std::u16string out;
  out.reserve(w.size());
  for (wchar_t c : w) {
    if (c >= 0xFF01 && c <= 0xFF5E) c = static_cast<wchar_t>(c - 0xFEE0);
    if (c == 0x3000) c = L' ';
    out.push_back(static_cast<char16_t>(c));
  }
  return out;
}

}  // namespace tesmar
