#pragma once
// The parts of a path and the joining of folders and names into paths: every path of the
// program is split and built through these. Splitting takes path text as the user and the
// settings give it ('\' separated, '/' accepted). A folder that already ends in a separator (a
// drive root such as "Y:\", a share root "\\server\share\") gets no second one: a doubled
// separator is accepted by some file functions and refused by others.
#include <string>
#include <string_view>

namespace tesmar {

#ifdef _WIN32
constexpr char16_t kPathSeparator = u'\\';
#else
constexpr char16_t kPathSeparator = u'/';
#endif

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

// The folder of a file path: the text before its last '\' or '/', without that separator
// unless the folder is a drive's root ("C:\x.dwg" gives "C:\"); empty without a separator.
std::u16string FolderOf(std::u16string_view filePath);

// True when `path` ends in '\' or '/'.
bool EndsWithSeparator(std::u16string_view path);

// `folder` with exactly the separator it needs at its end: unchanged when it already ends in
// one; empty for an empty folder (no folder is not the root of the current drive).
std::u16string WithTrailingSeparator(std::u16string_view folder);

// `folder`, a separator unless it ends in one, and `name`; `name` alone for an empty folder.
std::u16string JoinPath(std::u16string_view folder, std::u16string_view name);

}  // namespace tesmar
