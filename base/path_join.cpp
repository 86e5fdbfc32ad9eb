#include "base/path_join.h"

namespace tesmar {

bool EndsWithSeparator(std::u16string_view path) {
  return !path.empty() && (path.back() == u'\\' || path.back() == u'/');
}

std::u16string WithTrailingSeparator(std::u16string_view folder) {
  std::u16string out(folder);
  if (!out.empty() && !EndsWithSeparator(out)) out += kPathSeparator;
  return out;
}

std::u16string JoinPath(std::u16string_view folder, std::u16string_view name) {
  std::u16string out = WithTrailingSeparator(folder);
  out += name;
  return out;
}

}  // namespace tesmar
