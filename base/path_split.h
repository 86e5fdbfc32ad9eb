#pragma once
// Splitting path text (as the user and the settings give it, '\' separated) into its parts.
#include <string_view>

namespace tesmar {

inline constexpr std::u16string_view kPathSeparators = u"\\/:";

// The last element: the text after the last of `separators` (the whole path without one).
inline std::u16string_view FileNamePart(std::u16string_view path, std::u16string_view separators = kPathSeparators) {
  const std::size_t sep = path.find_last_of(separators);
  return sep == std::u16string_view::npos ? path : path.substr(sep + 1);
}

// The path without the extension of its last element (from that element's last dot on); the
// whole path when the last element has no dot.
inline std::u16string_view WithoutExtension(std::u16string_view path, std::u16string_view separators = kPathSeparators) {
  const std::size_t dot = path.find_last_of(u'.');
  const std::size_t sep = path.find_last_of(separators);
  if (dot == std::u16string_view::npos || (sep != std::u16string_view::npos && dot < sep)) return path;
  return path.substr(0, dot);
}

}  // namespace tesmar
