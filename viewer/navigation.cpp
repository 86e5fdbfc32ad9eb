#include "viewer/navigation.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

#include "base/strings.h"

namespace tesmar {
namespace {

double LargerSide(double width, double height) { return std::max(std::fabs(width), std::fabs(height)); }

}  // namespace

std::u16string ReadableNumber(double v, int decimals) {
  char buf[64];
  if (std::fabs(v) < 1e12) {
    std::snprintf(buf, sizeof buf, "%.*f", decimals, v);
  } else {
    std::snprintf(buf, sizeof buf, "%.6g", v);
  }
  return Ascii16(buf);
}

bool ViewSizeAllowed(double width, double height, const TBox& extents) {
  const double side = LargerSide(width, height);
  const double whole = LargerSide(extents.max.x - extents.min.x, extents.max.y - extents.min.y);
  if (!std::isfinite(side) || !std::isfinite(whole) || !(whole > 0)) return false;
  return side >= whole / kZoomRange && side <= whole * kZoomRange;
}

void SaveView(const TView& v, TSavedView& saved) {
  saved.g_CadPtOld = v.g_cadpt;
  saved.g_CadWOld = v.g_cadw;
  saved.g_CadHOld = v.g_cadh;
}

bool WheelZoom(TView& v, TSavedView& saved, TPixel cursor, bool towardsUser, const TBox& extents) {
  const double f = towardsUser ? 2.0 : 0.5;
  if (!ViewSizeAllowed(v.g_cadw * f, v.g_cadh * f, extents)) return false;
  const TAcadPoint p = ScreenToWorld(cursor, v);
  const double dx = p.x - v.g_cadpt.x, dy = p.y - v.g_cadpt.y;
  const TAcadPoint centre{p.x - f * dx, p.y - f * dy, v.g_cadpt.z};
  if (!std::isfinite(centre.x) || !std::isfinite(centre.y)) return false;
  SaveView(v, saved);
  v.g_cadw *= f;
  v.g_cadh *= f;
  v.g_cadpt = centre;
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
    case TGesture::ZoomWindow: {
      double w = b.x - a.x, h = a.y - b.y;
      const double whole = LargerSide(extents.max.x - extents.min.x, extents.max.y - extents.min.y);
      const double side = LargerSide(w, h), least = whole / kZoomRange;
      if (side > 0 && side < least) w *= least / side, h *= least / side;
      if (!ViewSizeAllowed(w, h, extents)) return false;
      SaveView(v, saved);
      v.g_cadpt.x = (a.x + b.x) / 2;
      v.g_cadpt.y = (a.y + b.y) / 2;
      v.g_cadw = w;
      v.g_cadh = h;
      return false;
    }
    case TGesture::ZoomExtents:
      SaveView(v, saved);
      v.g_cadw = extents.max.x - extents.min.x;
      v.g_cadh = extents.max.y - extents.min.y;
      v.g_cadpt.x = (extents.max.x + extents.min.x) / 2;
      v.g_cadpt.y = (extents.max.y + extents.min.y) / 2;
      return true;
    case TGesture::ZoomOut:
      if (!ViewSizeAllowed(v.g_cadw * 2, v.g_cadh * 2, extents)) return false;
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
  return u"W= " + ReadableNumber(v.W * s, 2) + u" , H= " + ReadableNumber(v.H * s, 2) + u" - X= " +
         ReadableNumber(w.x, 2) + u" , Y= " + ReadableNumber(w.y, 2);
}

std::u16string ViewSizeStatus(const TView& v) {
  const double s = PixelSize(v);
  return u"W= " + ReadableNumber(v.W * s, 2) + u" , H= " + ReadableNumber(v.H * s, 2);
}

std::u16string OpenStatus(double width, double height, double seconds) {
  return u"dX=" + ReadableNumber(width, 2) + u", dY=" + ReadableNumber(height, 2) + u" (" + ReadableNumber(seconds, 2) +
         u"sec)";
}

std::u16string OpenedCaption(std::u16string_view fileName, double width, double height) {
  return std::u16string(fileName) + u" ( " + ReadableNumber(width, 0) + u" x " + ReadableNumber(height, 0) + u" )";
}

double ElapsedSeconds(std::uint32_t startTicks, std::uint32_t nowTicks) {
  return static_cast<std::uint32_t>(nowTicks - startTicks) / 1000.0;
}

}  // namespace tesmar
