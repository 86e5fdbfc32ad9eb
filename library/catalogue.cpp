#include "library/catalogue.h"

#include <algorithm>
#include <filesystem>
#include <system_error>

#include "base/strings.h"
#include "library/folder_entries.h"
#include "library/name_order.h"

namespace tesmar {


namespace fs = std::filesystem;

std::u16string RemoveFirst(std::u16string s, std::u16string_view part) {
  if (part.empty()) return s;
  auto at = s.find(part);
  if (at != std::u16string::npos) s.erase(at, part.size());
  return s;
}

std::u16string DrawingFolderOf(std::u16string_view top, std::u16string_view folder) {
  // "." stands for the top folder itself; so does an empty list (no drawing folder chosen).
  if (folder == u"." || folder.empty()) return WithTrailingSeparator(top);
  return WithTrailingSeparator(JoinPath(top, folder));
}

std::u16string DrawingPathOf(std::u16string_view top, std::u16string_view folder, std::u16string_view file) {
  return JoinPath(DrawingFolderOf(top, folder), file);
}

bool NameOrderLess(std::u16string_view a, std::u16string_view b) {
  // Names that Explorer calls equal ("a" and "A", "01" and "1") still get one order, so that
  // the sort is strict and the same on every run.
  if (const int c = ExplorerCompare(a, b); c != 0) return c < 0;
  if (const int c = CompareIgnoreCase16(a, b); c != 0) return c < 0;
  return a < b;
}

void SortByNameOrder(std::vector<std::u16string>& names) {
  std::sort(names.begin(), names.end(), [](const auto& a, const auto& b) { return NameOrderLess(a, b); });
}

namespace {

// Lists the drawing files of one folder; stops after the first when `firstOnly`.
std::vector<std::u16string> DrawingFiles(const std::u16string& folder, std::u16string_view ext, bool firstOnly) {
  std::vector<std::u16string> names;
  std::vector<FolderEntry> entries;
  ListFolderEntries(folder, entries);
  for (auto& e : entries) {
    if (e.folder || !EndsWithIgnoreCase16(e.name, ext)) continue;
    names.push_back(std::move(e.name));
    if (firstOnly) break;
  }
  return names;
}

}  // namespace

std::vector<std::u16string> ListDrawingFiles(const std::u16string& folder, std::u16string_view ext) {
  return DrawingFiles(folder, ext, false);
}

namespace {

void CollectFolders(const std::u16string& folder, std::vector<std::u16string>& out) {
  std::vector<FolderEntry> entries;
  ListFolderEntries(folder, entries);
  std::vector<std::u16string> children;
  for (const auto& e : entries)
    if (e.folder) children.push_back(JoinPath(folder, e.name));
  for (auto& child : children) {
    out.push_back(child);
    CollectFolders(child, out);
  }
}

}  // namespace

std::vector<std::u16string> ListFoldersBelow(const std::u16string& folder) {
  std::vector<std::u16string> out;
  CollectFolders(folder, out);
  return out;
}

bool FolderExists(const std::u16string& folder) {
  std::error_code ec;
  return !folder.empty() && fs::is_directory(PathFromU16(folder), ec);
}

bool FileExists(const std::u16string& file) {
  std::error_code ec;
  return !file.empty() && fs::is_regular_file(PathFromU16(file), ec);
}

DroppedSpan KeepWithinWorkArea(DroppedSpan list, int areaLeft, int areaRight) {
  list.width = std::min(list.width, std::max(0, areaRight - areaLeft));
  list.left = std::max(areaLeft, std::min(list.left, areaRight - list.width));
  return list;
}

CatalogueWalk WalkCatalogue(std::u16string_view topFolder, std::u16string_view ext,
                            const std::function<void(const std::u16string&)>& progress) {
  CatalogueWalk walk;
  const std::u16string T = WithTrailingSeparator(topFolder);
  auto fraction = [](std::size_t k, std::size_t n) { return IntToStr16(static_cast<long long>(k)) + u" / " + IntToStr16(static_cast<long long>(n)); };

  std::vector<std::u16string> files = ListDrawingFiles(T, ext);
  for (std::size_t k = 0; k < files.size(); ++k) {
    if (progress) progress(fraction(k + 1, files.size()));
    walk.topDrawings.push_back(RemoveFirst(files[k], T));
  }
  SortByNameOrder(walk.topDrawings);
  if (!files.empty()) walk.drawingFolders.push_back(u".");

  if (progress) progress(kFolderSearchText);
  std::vector<std::u16string> folders = ListFoldersBelow(T);
  for (std::size_t k = 0; k < folders.size(); ++k) {
    if (progress) progress(fraction(k + 1, folders.size()));
    if (!DrawingFiles(folders[k], ext, true).empty()) walk.drawingFolders.push_back(RemoveFirst(folders[k], T));
  }
  SortByNameOrder(walk.drawingFolders);
  return walk;
}

}  // namespace tesmar
