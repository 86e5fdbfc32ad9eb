#pragma once
// Joining folders and names into paths. A folder that already ends in a separator (a drive
// root such as "Y:\", a share root "\\server\share\") gets no second one: a doubled separator
// is accepted by some file functions and refused by others. Every path of the library, the
// hint file, the CAD link and the conversion is built through these.
#include <string>
#include <string_view>

namespace tesmar {

#ifdef _WIN32
constexpr char16_t kPathSeparator = u'\\';
#else
constexpr char16_t kPathSeparator = u'/';
#endif

// True when `path` ends in '\' or '/'.
bool EndsWithSeparator(std::u16string_view path);

// `folder` with exactly the separator it needs at its end: unchanged when it already ends in
// one; empty for an empty folder (no folder is not the root of the current drive).
std::u16string WithTrailingSeparator(std::u16string_view folder);

// `folder`, a separator unless it ends in one, and `name`; `name` alone for an empty folder.
std::u16string JoinPath(std::u16string_view folder, std::u16string_view name);

}  // namespace tesmar
