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

}  // namespace tesmar
