#include "base/path_parts.h"

namespace tesmar {

bool EndsWithSeparator(std::u16string_view path) {
  return !path.empty() && (path.back() == u'\\' || path.back() == u'/');
}

std::u16string WithTrailingSeparator(std::u16string_view folder) {
  std::u16string out(folder);
  if (!out.empty() && !EndsWithSeparator(out)) out += kPathSeparator;
  return out;
}

std::u16string FolderOf(std::u16string_view filePath) {
  const std::size_t sep = filePath.find_last_of(u"\\/");
  if (sep == std::u16string_view::npos) return {};
  if (sep == 2 && filePath[1] == u':') return std::u16string(filePath.substr(0, 3));
  return std::u16string(filePath.substr(0, sep));
}

std::u16string JoinPath(std::u16string_view folder, std::u16string_view name) {
  std::u16string out = WithTrailingSeparator(folder);
  out += name;
  return out;
}

}  // namespace tesmar
