#include "viewer/navigation.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

#include "base/strings.h"

namespace tesmar {
namespace {

// One number of a status text: fixed with `decimals` places, or in exponent form when fixed
// notation would run to a dozen digits and more.
std::u16string Number(double v, int decimals) {
  char buf[64];
  if (std::fabs(v) < 1e12 || !std::isfinite(v)) std::snprintf(buf, sizeof buf, "%.*f", decimals, v);
  else std::snprintf(buf, sizeof buf, "%.6e", v);
  return Ascii16(buf);
}

constexpr double kMinZoom = 1e-6, kMaxZoom = 1e6;

}  // namespace

void SaveView(const TView& v, TSavedView& saved) {
  saved.g_CadPtOld = v.g_cadpt;
  saved.g_CadWOld = v.g_cadw;
  saved.g_CadHOld = v.g_cadh;
}

bool ViewSizeWithinBounds(double size, const TBox& extents) {
  double ref = std::max(extents.max.x - extents.min.x, extents.max.y - extents.min.y);
  if (!(ref > 0) || !std::isfinite(ref)) ref = 1;
  return std::isfinite(size) && size >= ref * kMinZoom && size <= ref * kMaxZoom;
}

bool WheelZoom(TView& v, TSavedView& saved, TPixel cursor, bool towardsUser, const TBox& extents) {
  const TAcadPoint p = ScreenToWorld(cursor, v);
  const double dx = p.x - v.g_cadpt.x, dy = p.y - v.g_cadpt.y;
  const double f = towardsUser ? 2.0 : 0.5;
  const double w = v.g_cadw * f, h = v.g_cadh * f;
  const TAcadPoint c{p.x - f * dx, p.y - f * dy, v.g_cadpt.z};
  const double larger = std::max(w, h);
  // A step towards the bounds is refused once past them; one back from beyond them is allowed.
  const double before = std::max(v.g_cadw, v.g_cadh);
  const bool within = ViewSizeWithinBounds(larger, extents) ||
                      ((towardsUser ? larger < before : larger > before) && std::isfinite(larger) && larger > 0);
  if (!within || !std::isfinite(c.x) || !std::isfinite(c.y)) return false;
  SaveView(v, saved);
  v.g_cadw = w;
  v.g_cadh = h;
  v.g_cadpt = c;
  return true;
}

bool OnImage(const TView& v, TPixel p) { return p.x >= 0 && p.x < v.W && p.y >= 0 && p.y < v.H; }

TGesture ClassifyRelease(bool middleButton, int dx, int dy) {
  if (middleButton) return TGesture::Pan;
  if (dx > 10 && dy > 10) return TGesture::ZoomWindow;
  if (dx > 10 && dy < -10) return TGesture::ZoomExtents;
  if (dx < -10 && dy < -10) return TGesture::ZoomOut;
  if (dx >= -10 || dy <= 10) return TGesture::Recentre;
  return TGesture::PreviousView;
}

bool ApplyGesture(TGesture g, TView& v, TSavedView& saved, TPixel down, TPixel up, const TBox& extents) {
  const TAcadPoint a = ScreenToWorld(down, v), b = ScreenToWorld(up, v);
  switch (g) {
    case TGesture::Pan:
      v.g_cadpt.x += a.x - b.x;
      v.g_cadpt.y += a.y - b.y;
      return false;
    case TGesture::ZoomWindow:
      SaveView(v, saved);
      v.g_cadpt.x = (a.x + b.x) / 2;
      v.g_cadpt.y = (a.y + b.y) / 2;
      v.g_cadw = b.x - a.x;
      v.g_cadh = a.y - b.y;
      return false;
    case TGesture::ZoomExtents:
      SaveView(v, saved);
      v.g_cadw = extents.max.x - extents.min.x;
      v.g_cadh = extents.max.y - extents.min.y;
      v.g_cadpt.x = (extents.max.x + extents.min.x) / 2;
      v.g_cadpt.y = (extents.max.y + extents.min.y) / 2;
      return true;
    case TGesture::ZoomOut:
      if (!ViewSizeWithinBounds(2 * std::max(v.g_cadw, v.g_cadh), extents)) return false;
      SaveView(v, saved);
      v.g_cadw *= 2;
      v.g_cadh *= 2;
      return false;
    case TGesture::Recentre:
      v.g_cadpt.x = (a.x + b.x) / 2;
      v.g_cadpt.y = (a.y + b.y) / 2;
      return false;
    case TGesture::PreviousView:
      v.g_cadw = saved.g_CadWOld;
      v.g_cadh = saved.g_CadHOld;
      v.g_cadpt = saved.g_CadPtOld;
      return false;
  }
  return false;
}

TAcadPoint PanPreviewCentre(const TView& v, TPixel pressed, TPixel now) {
  const TAcadPoint a = ScreenToWorld(pressed, v), b = ScreenToWorld(now, v);
  TAcadPoint c = v.g_cadpt;
  c.x += a.x - b.x;
  c.y += a.y - b.y;
  return c;
}

void FitView(TView& v, const TBox& extents) {
  v.g_cadw = extents.max.x - extents.min.x;
  v.g_cadh = extents.max.y - extents.min.y;
  v.g_cadpt = TAcadPoint{(extents.max.x + extents.min.x) / 2, (extents.max.y + extents.min.y) / 2, 0};
}

std::u16string MoveStatus(const TView& v, TPixel p) {
  const double s = PixelSize(v);
  const TAcadPoint w = ScreenToWorld(p, v);
  return u"W= " + Number(v.W * s, 2) + u" , H= " + Number(v.H * s, 2) + u" - X= " + Number(w.x, 2) + u" , Y= " +
         Number(w.y, 2);
}

std::u16string ViewSizeStatus(const TView& v) {
  const double s = PixelSize(v);
  return u"W= " + Number(v.W * s, 2) + u" , H= " + Number(v.H * s, 2);
}

std::u16string OpenStatus(double width, double height, double seconds) {
  return u"dX=" + Number(width, 2) + u", dY=" + Number(height, 2) + u" (" + Number(seconds, 2) + u"sec)";
}

std::u16string OpenedCaption(std::u16string_view fileName, double width, double height) {
  return std::u16string(fileName) + u" ( " + Number(width, 0) + u" x " + Number(height, 0) + u" )";
}

double ElapsedSeconds(std::uint32_t startTicks, std::uint32_t nowTicks) {
  return static_cast<std::uint32_t>(nowTicks - startTicks) / 1000.0;
}

}  // namespace tesmar
