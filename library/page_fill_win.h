#pragma once
// The page fill of the preview grid: one picture per cell of the page the model shows.
#include <functional>
#include <string>

#include "base/rgb_image.h"
#include "library/grid_model.h"

namespace tesmar {

// Draws one cell of w x h: black, the fitted preview of the drawing at `path`, or the
// placeholder cross for a drawing without a readable preview (a damaged file included); an
// empty path leaves it black. True when a preview was drawn. The preview is fitted from the
// one stored in the file straight to w x h, once per size: a fitted picture is kept (by the
// file's path, time and length, the size and the clip choice) so that turning back to a page
// or resizing back and forth reads no file again.
bool DrawPreviewCell(const std::u16string& path, int w, int h, bool clip, RgbImage& cell);

// What the kept pictures hold and how often they served (for tests and benchmarks).
struct PreviewCacheStats {
  std::size_t pictures = 0, bytes = 0;
  std::size_t hits = 0, misses = 0;
};
PreviewCacheStats PreviewCacheState();
void ClearPreviewCache();

// Fills `cells` cells of w x h from the drawings of `folder` (ending in '\') that the page
// shows, handing each to `show` with its drawing's name (empty past the last drawing).
void FillGridPage(const GridModel& grid, const std::u16string& folder, int cells, int w, int h, bool clip,
                  const std::function<void(int cell, const std::u16string& name, const RgbImage& picture)>& show);

}  // namespace tesmar
