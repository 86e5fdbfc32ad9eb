#include "dxf/values.h"

#include <charconv>
#include <cstdint>
#include <limits>
#include <system_error>

namespace tesmar {
namespace {

// Powers of ten that a double holds exactly.
constexpr double kExactPowers[] = {1e0,  1e1,  1e2,  1e3,  1e4,  1e5,  1e6,  1e7,  1e8,  1e9,  1e10, 1e11,
                                   1e12, 1e13, 1e14, 1e15, 1e16, 1e17, 1e18, 1e19, 1e20, 1e21, 1e22};

bool ParseRealSlowly(std::string_view s, double& out) {
  std::string_view digits = s;
  if (!s.empty() && s[0] == '+') s.remove_prefix(1), digits = s;
  else if (!s.empty() && s[0] == '-') digits.remove_prefix(1);
  if (digits.empty() || !((digits[0] >= '0' && digits[0] <= '9') || digits[0] == '.')) return false;
  auto [end, ec] = std::from_chars(s.data(), s.data() + s.size(), out, std::chars_format::general);
  return ec == std::errc() && end == s.data() + s.size();
}

}  // namespace

bool ParseDxfInt(std::string_view s, std::int32_t& out) {
  const char* p = s.data();
  const char* const e = p + s.size();
  bool negative = false;
  if (p != e && (*p == '+' || *p == '-')) negative = *p++ == '-';
  if (p == e) return false;
  while (e - p > 1 && *p == '0') ++p;  // leading zeros
  if (e - p > 10) return false;
  std::uint64_t v = 0;
  for (; p != e; ++p) {
    const unsigned d = static_cast<unsigned char>(*p) - unsigned{'0'};
    if (d > 9) return false;
    v = v * 10 + d;
  }
  const std::uint64_t limit = negative ? std::uint64_t{1} << 31 : (std::uint64_t{1} << 31) - 1;
  if (v > limit) return false;
  out = static_cast<std::int32_t>(negative ? -static_cast<std::int64_t>(v) : static_cast<std::int64_t>(v));
  return true;
}

bool ParseDxfReal(std::string_view s, double& out) {
  // Plain decimals whose digits, taken as an integer, stay below 2^53: that integer divided by
  // an exact power of ten rounds once and so gives the correctly rounded value. Everything else
  // (more digits, exponents, bad text) goes through the library conversion.
  const char* p = s.data();
  const char* const e = p + s.size();
  bool negative = false;
  if (p != e && (*p == '+' || *p == '-')) negative = *p++ == '-';
  std::uint64_t mantissa = 0;
  unsigned d;
  const char* const whole = p;
  while (p != e && (d = static_cast<unsigned char>(*p) - unsigned{'0'}) <= 9) mantissa = mantissa * 10 + d, ++p;
  std::size_t digits = static_cast<std::size_t>(p - whole), fraction = 0;
  if (p != e && *p == '.') {
    const char* const part = ++p;
    while (p != e && (d = static_cast<unsigned char>(*p) - unsigned{'0'}) <= 9) mantissa = mantissa * 10 + d, ++p;
    fraction = static_cast<std::size_t>(p - part);
    digits += fraction;
  }
  if (p != e || digits > 19 || mantissa > (std::uint64_t{1} << 53) || fraction > 22) return ParseRealSlowly(s, out);
  if (digits == 0) return false;
  double v = static_cast<double>(mantissa);
  if (fraction) v /= kExactPowers[fraction];
  out = negative ? -v : v;
  return true;
}

}  // namespace tesmar
