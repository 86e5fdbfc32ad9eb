#include "dxf/values.h"

#include <charconv>
#include <system_error>

namespace tesmar {

bool ParseDxfInt(std::string_view s, std::int32_t& out) {
  if (!s.empty() && s[0] == '+') {
    s.remove_prefix(1);
    if (!s.empty() && s[0] == '-') return false;
  }
  if (s.empty()) return false;
  auto [end, ec] = std::from_chars(s.data(), s.data() + s.size(), out);
  return ec == std::errc() && end == s.data() + s.size();
}

bool ParseDxfReal(std::string_view s, double& out) {
  std::string_view digits = s;
  if (!s.empty() && s[0] == '+') s.remove_prefix(1), digits = s;
  else if (!s.empty() && s[0] == '-') digits.remove_prefix(1);
  if (digits.empty() || !((digits[0] >= '0' && digits[0] <= '9') || digits[0] == '.')) return false;
  auto [end, ec] = std::from_chars(s.data(), s.data() + s.size(), out, std::chars_format::general);
  return ec == std::errc() && end == s.data() + s.size();
}

}  // namespace tesmar
