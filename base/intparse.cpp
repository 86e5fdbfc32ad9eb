#include "base/intparse.h"

#include <limits>

namespace tesmar {

std::int32_t ParseIniInt(std::u16string_view text, std::int32_t fallback) {
  std::size_t i = 0;
  bool negative = false;
  if (i < text.size() && (text[i] == u'-' || text[i] == u'+')) negative = text[i++] == u'-';
  int base = 10;
  if (i < text.size() && text[i] == u'$') {
    base = 16, ++i;
  } else if (i + 1 < text.size() && text[i] == u'0' && (text[i + 1] == u'x' || text[i + 1] == u'X')) {
    base = 16, i += 2;
  }
  if (i >= text.size()) return fallback;
  std::int64_t value = 0;
  for (; i < text.size(); ++i) {
    char16_t c = text[i];
    int d;
    if (c >= u'0' && c <= u'9') d = c - u'0';
    else if (base == 16 && c >= u'a' && c <= u'f') d = c - u'a' + 10;
    else if (base == 16 && c >= u'A' && c <= u'F') d = c - u'A' + 10;
    else return fallback;
    value = value * base + d;
    if (value > 0xFFFFFFFFLL) return fallback;
  }
  if (base == 16) {
    // Hexadecimal text names the 32 bits themselves ($FFFFFFFF is -1).
    auto bits = static_cast<std::int32_t>(static_cast<std::uint32_t>(value));
    return negative ? static_cast<std::int32_t>(0u - static_cast<std::uint32_t>(bits)) : bits;
  }
  if (negative) value = -value;
  if (value < std::numeric_limits<std::int32_t>::min() || value > std::numeric_limits<std::int32_t>::max())
    return fallback;
  return static_cast<std::int32_t>(value);
}

bool ParseIniBool(std::u16string_view text, bool fallback) {
  // Any sentinel that no parse can return cannot exist for 32 bits, so parse twice.
  std::int32_t a = ParseIniInt(text, 0), b = ParseIniInt(text, 1);
  if (a != b) return fallback;  // not a number
  return a != 0;
}

}  // namespace tesmar
