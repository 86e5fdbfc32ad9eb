#include "library/grid_model.h"

#include <algorithm>

#include "library/catalogue.h"
#include "library/paging.h"

namespace tesmar {

void GridModel::Clear() {
  dxfNameSL.clear();
  g_dxfTop = 0;
  g_pageCount = 0;
  g_ImgUpNG = true;
  g_ImgDnNG = true;
}

void GridModel::SetDrawings(std::vector<std::u16string> names) {
  SortByNameOrder(names);
  SetOrderedDrawings(std::move(names));
}

void GridModel::SetOrderedDrawings(std::vector<std::u16string> names) {
  dxfNameSL = std::move(names);
  g_dxfTop = 0;
  g_pageCount = PageCount(Count());
  UpdatePagingFlags();
}

bool GridModel::Turn(bool forward) {
  const int old = g_dxfTop;
  g_dxfTop = TurnedTop(old, Count(), forward);
  if (g_dxfTop == old) return false;
  UpdatePagingFlags();
  return true;
}

bool GridModel::ShowPageOf(int index) {
  const int top = PageTopOf(index);
  if (top == g_dxfTop) return false;
  g_dxfTop = top;
  UpdatePagingFlags();
  return true;
}

const std::u16string* GridModel::DrawingOfCell(int cell) const {
  const int i = g_dxfTop + cell;
  return cell >= 0 && i < Count() ? &dxfNameSL[i] : nullptr;
}

std::u16string GridModel::Label() const { return PageLabel(g_dxfTop, g_pageCount); }

void GridModel::UpdatePagingFlags() {
  g_ImgDnNG = NoPreviousPage(g_dxfTop);
  g_ImgUpNG = NoNextPage(g_dxfTop, Count());
}

GridLayout LayOutGrid(int areaWidth, int areaHeight, int nameStrip, int bevel, int margin) {
  auto layout = [&](int columns, int rows) {
    GridLayout g;
    g.columns = columns, g.rows = rows, g.margin = margin;
    const int byWidth = (areaWidth - margin) / columns - bevel;
    const int byHeight = (areaHeight - margin) / rows - bevel - nameStrip;
    g.picture = std::max(1, std::min(byWidth, byHeight));
    g.cellWidth = g.picture + bevel;
    g.cellHeight = g.picture + nameStrip + bevel;
    return g;
  };
  const GridLayout wide = layout(6, 5), tall = layout(5, 6);
  // On a tie the 6 x 5 grid stays: it is the palette's own.
  return tall.picture > wide.picture ? tall : wide;
}

int MoveSelection(int index, int count, int columns, int rows, GridMove move) {
  if (count <= 0) return -1;
  if (index < 0 || index >= count) return 0;
  const int perPage = kCellsPerPage;
  const int top = PageTopOf(index), cell = index - top;
  const int column = cell % columns, row = cell / columns;
  int next = index;
  switch (move) {
    case GridMove::Left: next = index - 1; break;
    case GridMove::Right: next = index + 1; break;
    case GridMove::Up: next = row > 0 ? index - columns : top - perPage + (rows - 1) * columns + column; break;
    case GridMove::Down: next = row < rows - 1 ? index + columns : top + perPage + column; break;
  }
  if (next < 0) return index;
  if (next >= count) {
    // Down into a part of the page with no drawing, or onto a next page: the last drawing,
    // when it lies further that way.
    const bool forward = move == GridMove::Right || move == GridMove::Down;
    return forward && count - 1 > index ? count - 1 : index;
  }
  return next;
}

}  // namespace tesmar
