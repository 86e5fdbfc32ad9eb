#pragma once
// A drawing post-processed and drawn as the viewer's first picture: fitted to its extents
// (0.95 of the tighter side) on a W x H raster, by the indexed pass.
#include <memory>

#include "dxf/model.h"
#include "render/offscreen_win.h"
#include "render/postprocess.h"

namespace tesmar::test {

inline std::unique_ptr<TRaster8> FirstPicture(TDrawingModel& m, int W, int H) {
  const TBox ext = RunPostProcessing(m);
  TView v;
  v.W = W, v.H = H, v.g_DispScale = 0.95;
  v.g_cadw = ext.max.x - ext.min.x, v.g_cadh = ext.max.y - ext.min.y;
  v.g_cadpt = {(ext.max.x + ext.min.x) / 2, (ext.max.y + ext.min.y) / 2, 0};
  const auto index = BuildRenderIndex(m);
  return OffscreenRedraw(m, v, 0, true, false, index.get());
}

}  // namespace tesmar::test
