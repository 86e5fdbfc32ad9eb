#pragma once
// The preview grid's state: the drawings of the chosen folder, the first one the page shows and
// whether a page lies either way. The window shows it; the page fill and the paging read it.
#include <cstdint>
#include <string>
#include <vector>

namespace tesmar {

struct GridModel {
  std::vector<std::u16string> dxfNameSL;  // bare file names in the one name order (NameOrderLess)
  std::int32_t g_dxfTop = 0;              // index of the drawing in the first cell
  std::int32_t g_pageCount = 0;
  bool g_ImgUpNG = false;  // no next page
  bool g_ImgDnNG = false;  // no previous page

  int Count() const { return static_cast<int>(dxfNameSL.size()); }
  // No drawings, and no page to turn to either way.
  void Clear();
  // The folder's drawings, sorted; the first page shown.
  void SetDrawings(std::vector<std::u16string> names);
  // Drawings already in the order to show (a search's, by folder and name); the first page.
  void SetOrderedDrawings(std::vector<std::u16string> names);
  // One page forward or back; false (nothing changed) when there is none that way.
  bool Turn(bool forward);
  // The page holding drawing `index`; false when it is the page shown.
  bool ShowPageOf(int index);
  // The drawing of cell `cell` of the page shown; nullptr past the last drawing.
  const std::u16string* DrawingOfCell(int cell) const;
  std::u16string Label() const;  // "2 / 3"

 private:
  void UpdatePagingFlags();
};

// Where the 30 cells go in the grid area. The cells are laid out 6 columns x 5 rows when the
// area is wider than tall and 5 x 6 otherwise (whichever gives the larger pictures), at a
// pitch of the cell size, from a margin at the top and left. A cell is a square picture with
// a strip for the drawing's name below it when names are shown.
struct GridLayout {
  int columns = 6, rows = 5;
  int picture = 0;     // the square picture's side (at least 1)
  int cellWidth = 0, cellHeight = 0;  // the cell's pitch: picture (+ name strip) + bevel
  int margin = 0;
  bool operator==(const GridLayout&) const = default;
};
// `areaWidth` x `areaHeight`: the grid area; `nameStrip`: the height of a name line (0 when
// names are hidden); `bevel`: what a cell adds around its picture (both sides together).
GridLayout LayOutGrid(int areaWidth, int areaHeight, int nameStrip, int bevel, int margin);

// The arrow keys in the grid: the drawing selected after moving from drawing `index` of
// `count` in a grid of `columns` x `rows` cells a page. A move past the page's edge goes on to
// the next (previous) page: right from the last cell to the first cell of the next page, down
// from the bottom row to the top row of the next page, in the same column, and so on; a move
// past the last drawing stops at the last one, and one before the first stays.
enum class GridMove { Left, Right, Up, Down };
int MoveSelection(int index, int count, int columns, int rows, GridMove move);

}  // namespace tesmar
