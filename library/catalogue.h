#pragma once
// The drawing library on disk: registered top folders, the drawing folders below them (every
// folder that directly holds drawing files) and the paths built from the three lists of the
// main window.
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "base/path_parts.h"
#include "base/texts.h"

namespace tesmar {

// What the grid and the status field say when there is nothing to show.
inline constexpr char16_t kNoTopFolderGuide[] = u"追加 ボタンで図面フォルダーを\n登録してください";
inline constexpr char16_t kNoDrawingsText[] = u"図面がありません";
// Before the folder's path: a registered folder that is gone, or on a drive that is offline.
inline constexpr char16_t kTopFolderMissingText[] = u"フォルダが見つかりません（オフラインか削除）: ";

// `s` with the first occurrence of `part` removed (unchanged when there is none).
std::u16string RemoveFirst(std::u16string s, std::u16string_view part);

// The chosen drawing folder, with a trailing separator: the top folder, then the drawing
// folder unless it is "." (the top folder itself) or empty.
std::u16string DrawingFolderOf(std::u16string_view top, std::u16string_view folder);
// The chosen drawing's full path: the drawing folder and the file name.
std::u16string DrawingPathOf(std::u16string_view top, std::u16string_view folder, std::u16string_view file);

// The one order of the program's lists. A folder's drawings are sorted by it for the cells and
// for ComboBox3 alike, so that a cell and the entry it selects name the same file; the top
// folders and the drawing folders likewise. Explorer's order (ExplorerCompare); names it calls
// equal by letter case folded, then by their own codes.
bool NameOrderLess(std::u16string_view a, std::u16string_view b);
void SortByNameOrder(std::vector<std::u16string>& names);

// Bare names of the files in `folder` (only there) whose names end in `ext`, ignoring
// letter case. Missing or unreadable folders give none.
std::vector<std::u16string> ListDrawingFiles(const std::u16string& folder, std::u16string_view ext);
// Full paths of all folders below `folder` at any depth (each built as `folder`, its
// separator, the names below), parents before their children. Links are not followed.
std::vector<std::u16string> ListFoldersBelow(const std::u16string& folder);
bool FolderExists(const std::u16string& folder);
bool FileExists(const std::u16string& file);

// What a change of the top folder finds: the drawings of the top folder itself, and the
// drawing folders as the second list shows them (relative to the top folder, "." for the top
// folder when it holds drawings), both in the one name order.
struct CatalogueWalk {
  std::vector<std::u16string> topDrawings;
  std::vector<std::u16string> drawingFolders;
};
// `progress` receives the texts of the status field during the walk: "k / n" while the top
// folder's drawings are taken, "フォルダ検索中 ..." and "k / m" for the folders.
CatalogueWalk WalkCatalogue(std::u16string_view topFolder, std::u16string_view ext,
                            const std::function<void(const std::u16string&)>& progress);

// Where the dropped part of a list goes across the screen: within the work area of the
// window's monitor (from `areaLeft` to `areaRight`, exclusive), its left edge at least the
// area's left and its width at most the area's; a part that would run past the right edge is
// moved left.
struct DroppedSpan {
  int left = 0, width = 0;
  bool operator==(const DroppedSpan&) const = default;
};
DroppedSpan KeepWithinWorkArea(DroppedSpan list, int areaLeft, int areaRight);

}  // namespace tesmar
