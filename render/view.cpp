#include "render/view.h"

#include <cmath>
#include <limits>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace tesmar {

std::int32_t NearestInt(double v) {
  if (!(v >= static_cast<double>(std::numeric_limits<std::int32_t>::min()))) {
    return std::isnan(v) ? 0 : std::numeric_limits<std::int32_t>::min();
  }
  if (v > static_cast<double>(std::numeric_limits<std::int32_t>::max())) return std::numeric_limits<std::int32_t>::max();
#if defined(__SSE2__)
  // The conversion instruction rounds by MXCSR, whose default sends halves to even as
  // nearbyint does; it avoids the library call, which switches the x87 control word under
  // mingw-w64 and costs a third of a redraw there.
  return _mm_cvtsd_si32(_mm_set_sd(v));
#else
  return static_cast<std::int32_t>(std::nearbyint(v));  // the default rounding mode sends halves to even
#endif
}

double PixelSize(double width, double height, int W, int H, double dispScale) {
  double s = 1;
  if (width > 0 && height > 0) {
    s = height / width > static_cast<double>(H) / W ? height / H : width / W;
  }
  return s / dispScale;
}

double PixelSize(const TView& v) { return PixelSize(v.g_cadw, v.g_cadh, v.W, v.H, v.g_DispScale); }

TBox ViewRect(TAcadPoint centre, double s, int W, int H) {
  const double hw = W * s / 2, hh = H * s / 2;
  return TBox{{centre.x - hw, centre.y - hh, 0}, {centre.x + hw, centre.y + hh, 0}};
}

TBox ViewRect(const TView& v) { return ViewRect(v.g_cadpt, PixelSize(v), v.W, v.H); }

namespace {

std::int32_t Saturate(std::int64_t v) {
  if (v < std::numeric_limits<std::int32_t>::min()) return std::numeric_limits<std::int32_t>::min();
  if (v > std::numeric_limits<std::int32_t>::max()) return std::numeric_limits<std::int32_t>::max();
  return static_cast<std::int32_t>(v);
}

}  // namespace

TPixel WorldToScreen(TAcadPoint p, double s, TPixel origin) {
  return TPixel{Saturate(std::int64_t{NearestInt(p.x / s)} + origin.x),
                Saturate(std::int64_t{NearestInt(-p.y / s)} + origin.y)};
}

TAcadPoint ScreenToWorld(TPixel px, TAcadPoint centre, double width, double height, int H, int W, double dispScale) {
  if (!(width > 0) && !(height > 0)) return TAcadPoint{};
  const double s = PixelSize(width, height, W, H, dispScale);
  return TAcadPoint{(px.x - W / 2) * s + centre.x, (H - px.y - H / 2) * s + centre.y, 0};
}

TAcadPoint ScreenToWorld(TPixel px, const TView& v) {
  return ScreenToWorld(px, v.g_cadpt, v.g_cadw, v.g_cadh, v.H, v.W, v.g_DispScale);
}

bool PointInBox(TAcadPoint p, const TBox& r) {
  return p.x >= r.min.x && p.x <= r.max.x && p.y >= r.min.y && p.y <= r.max.y;
}

}  // namespace tesmar
