#pragma once
// UTF-16 string helpers shared by the whole program. Strings of the model and of the
// portable code are std::u16string; on Windows they pass to the API as wchar_t*.
#include <cstdint>
#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

namespace tesmar {

// ASCII text (literals, numbers) widened to UTF-16.
std::u16string Ascii16(std::string_view ascii);

// Letter case as the platform compares names (file names, list entries): ASCII, Latin-1,
// Greek, Cyrillic and full-width Latin letters fold; everything else compares as is.
char16_t FoldCase16(char16_t c);
std::u16string UpperCase16(std::u16string_view s);   // ASCII letters only, as DXF names are upper-cased
bool EqualsIgnoreCase16(std::u16string_view a, std::u16string_view b);
int CompareIgnoreCase16(std::u16string_view a, std::u16string_view b);  // <0, 0, >0

bool StartsWith16(std::u16string_view s, std::u16string_view prefix);
bool EndsWithIgnoreCase16(std::u16string_view s, std::u16string_view suffix);

// Leading and trailing blanks and control characters (up to the space) removed.
inline std::u16string_view TrimBlanks(std::u16string_view s) {
  std::size_t b = 0, e = s.size();
  while (b < e && s[b] <= u' ') ++b;
  while (e > b && s[e - 1] <= u' ') --e;
  return s.substr(b, e - b);
}
inline std::string_view TrimBlanks(std::string_view s) {
  std::size_t b = 0, e = s.size();
  while (b < e && static_cast<unsigned char>(s[b]) <= 0x20) ++b;
  while (e > b && static_cast<unsigned char>(s[e - 1]) <= 0x20) --e;
  return s.substr(b, e - b);
}

// Decimal text of an integer.
std::u16string IntToStr16(long long v);

// Paths: UTF-16 text <-> std::filesystem::path (UTF-8 natively, wide on Windows).
std::filesystem::path PathFromU16(std::u16string_view s);
std::u16string U16FromPath(const std::filesystem::path& p);

#ifdef _WIN32
inline const wchar_t* WidePtr(const std::u16string& s) { return reinterpret_cast<const wchar_t*>(s.c_str()); }
inline std::u16string FromWide(const wchar_t* s) { return s ? std::u16string(reinterpret_cast<const char16_t*>(s)) : std::u16string(); }
inline std::u16string FromWide(const std::wstring& s) { return std::u16string(s.begin(), s.end()); }
inline std::wstring ToWide(std::u16string_view s) { return std::wstring(s.begin(), s.end()); }
#endif

}  // namespace tesmar
