#include "library/grid_model.h"

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

}  // namespace tesmar
