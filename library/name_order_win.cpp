#include <windows.h>
#include <shlwapi.h>

#include <string>

#include "library/name_order.h"

namespace tesmar {

int ExplorerCompare(std::u16string_view a, std::u16string_view b) {
  // The comparison Explorer sorts by (StrCmpLogicalW is this call on Windows 7 and later): the
  // user's locale, letter case ignored, digit runs as numbers. Wine's StrCmpLogicalW compares
  // marks against digits by another rule ("a2" before "A_1"), the locale call as Windows does.
  const auto* x = reinterpret_cast<const wchar_t*>(a.data());
  const auto* y = reinterpret_cast<const wchar_t*>(b.data());
  const int r = CompareStringEx(LOCALE_NAME_USER_DEFAULT, NORM_IGNORECASE | SORT_DIGITSASNUMBERS, x,
                                static_cast<int>(a.size()), y, static_cast<int>(b.size()), nullptr, nullptr, 0);
  if (r != 0) return r - CSTR_EQUAL;
  // A system without the digit flag: the older call, on terminated copies.
  const std::wstring s(a.begin(), a.end()), t(b.begin(), b.end());
  return StrCmpLogicalW(s.c_str(), t.c_str());
}

}  // namespace tesmar
