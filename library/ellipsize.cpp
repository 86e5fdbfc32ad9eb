#include "library/ellipsize.h"

namespace tesmar {

std::u16string EllipsizeLeft(std::u16string s, const TextWidthFn& textWidth, int width) {
  if (textWidth(s) <= width) return s;
  std::u16string_view rest = s;
  for (;;) {
    std::u16string candidate = u"..." + std::u16string(rest);
    if (textWidth(candidate) <= width || rest.empty()) return candidate;
    // Drop one character; a surrogate pair goes as a whole.
    std::size_t n = (rest.size() >= 2 && rest[0] >= 0xD800 && rest[0] <= 0xDBFF &&
                     rest[1] >= 0xDC00 && rest[1] <= 0xDFFF) ? 2 : 1;
    rest.remove_prefix(n);
  }
}

}  // namespace tesmar
