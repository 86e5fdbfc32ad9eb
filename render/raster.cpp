#include "render/raster.h"

#include <algorithm>
#include <cmath>
#include <vector>

namespace tesmar {

TPixelMap PixelMapBetween(const TView& from, const TView& to) {
  const double sf = PixelSize(from), st = PixelSize(to);
  TPixelMap m;
  m.scale = sf / st;
  // Pixel p of `from` is the world point centre_f + (p - origin_f) * sf (y upwards); in `to`
  // it lies at origin_t + (world - centre_t) / st.
  m.dx = to.Origin().x + (from.g_cadpt.x - to.g_cadpt.x) / st - from.Origin().x * m.scale;
  m.dy = to.Origin().y - (from.g_cadpt.y - to.g_cadpt.y) / st - from.Origin().y * m.scale;
  return m;
}

namespace {

// Source index of destination index d when enlarging (or keeping the size): the nearest one;
// -1 outside [lo, hi).
int NearestSource(int d, double scale, double offset, int lo, int hi) {
  const double s = std::floor((d - offset) / scale + 0.5);
  return s >= lo && s < hi ? static_cast<int>(s) : -1;
}

int Destination(int s, double scale, double offset) {
  const double d = std::floor(s * scale + offset + 0.5);
  return d < -1 ? -1 : d > 1e9 ? static_cast<int>(1e9) : static_cast<int>(d);
}

}  // namespace

void ResampleRaster(TRasterIn from, TPixelArea fa, TRasterOut to, TPixelArea ta, const TPixelMap& map,
                    std::uint8_t background) {
  if (ta.x1 <= ta.x0 || ta.y1 <= ta.y0) return;
  for (int y = ta.y0; y < ta.y1; ++y) std::fill(to.Row(y) + ta.x0, to.Row(y) + ta.x1, background);
  if (fa.x1 <= fa.x0 || fa.y1 <= fa.y0 || !(map.scale > 0) || !std::isfinite(map.scale)) return;
  if (map.scale >= 1) {
    // Each destination pixel looks up its source; the column table is shared by every row.
    std::vector<int> column(static_cast<std::size_t>(ta.x1 - ta.x0));
    for (int x = ta.x0; x < ta.x1; ++x) column[x - ta.x0] = NearestSource(x, map.scale, map.dx, fa.x0, fa.x1);
    for (int y = ta.y0; y < ta.y1; ++y) {
      const int sy = NearestSource(y, map.scale, map.dy, fa.y0, fa.y1);
      if (sy < 0) continue;
      const std::uint8_t* src = from.Row(sy);
      std::uint8_t* dst = to.Row(y);
      for (int x = ta.x0; x < ta.x1; ++x)
        if (const int sx = column[x - ta.x0]; sx >= 0) dst[x] = src[sx];
    }
    return;
  }
  // Shrinking: every source pixel that is not the background goes to its destination unless
  // an earlier one holds it.
  std::vector<int> column(static_cast<std::size_t>(fa.x1 - fa.x0));
  for (int x = fa.x0; x < fa.x1; ++x) column[x - fa.x0] = Destination(x, map.scale, map.dx);
  for (int y = fa.y0; y < fa.y1; ++y) {
    const int dy = Destination(y, map.scale, map.dy);
    if (dy < ta.y0 || dy >= ta.y1) continue;
    const std::uint8_t* src = from.Row(y);
    std::uint8_t* dst = to.Row(dy);
    for (int x = fa.x0; x < fa.x1; ++x) {
      if (src[x] == background) continue;
      const int dx = column[x - fa.x0];
      if (dx >= ta.x0 && dx < ta.x1 && dst[dx] == background) dst[dx] = src[x];
    }
  }
}

}  // namespace tesmar
