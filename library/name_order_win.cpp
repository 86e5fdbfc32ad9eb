#include <windows.h>
#include <shlwapi.h>

#include <string>

#include "library/name_order.h"

namespace tesmar {

int ExplorerCompare(std::u16string_view a, std::u16string_view b) {
  // The views need not end in a NUL; the comparison takes terminated strings.
  const std::wstring x(a.begin(), a.end()), y(b.begin(), b.end());
  return StrCmpLogicalW(x.c_str(), y.c_str());
}

}  // namespace tesmar
