#include "library/page_fill_win.h"

#include <algorithm>

#include "base/path_parts.h"
#include "base/silent_abort.h"
#include "dwg/dwg_thumbnail_win.h"
#include "library/catalogue.h"
#include "library/preview_fit.h"

namespace tesmar {

bool DrawPreviewCell(const std::u16string& path, int w, int h, bool clip, RgbImage& cell) {
  w = std::max(1, w), h = std::max(1, h);
  cell = RgbImage(w, h, kRgbBlack);
  if (path.empty() || !FileExists(path)) return false;
  RgbImage preview;
  try {
    if (LoadDwgThumbnail(path, preview)) {
      FitPreviewIntoCell(preview, cell, clip);
      return true;
    }
  } catch (const SilentAbort&) {
    // A damaged file shows the placeholder in its own cell; the rest of the page goes on.
    cell = RgbImage(w, h, kRgbBlack);
  }
  DrawPlaceholderCross(cell);
  return false;
}

void FillGridPage(const GridModel& grid, const std::u16string& folder, int cells, int w, int h, bool clip,
                  const std::function<void(int, const std::u16string&, const RgbImage&)>& show) {
  static const std::u16string none;
  RgbImage picture;
  for (int i = 0; i < cells; ++i) {
    const std::u16string* name = grid.DrawingOfCell(i);
    DrawPreviewCell(name ? JoinPath(folder, *name) : none, w, h, clip, picture);
    show(i, name ? *name : none, picture);
  }
}

}  // namespace tesmar
