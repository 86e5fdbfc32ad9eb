#include "viewer/navigation.h"

#include <cstdio>

#include "base/strings.h"

namespace tesmar {
namespace {

std::u16string Format(const char* format, double a, double b, double c = 0, double d = 0) {
  char buf[256];
  std::snprintf(buf, sizeof buf, format, a, b, c, d);
  return Ascii16(buf);
}

}  // namespace

void SaveView(const TView& v, TSavedView& saved) {
  saved.g_CadPtOld = v.g_cadpt;
  saved.g_CadWOld = v.g_cadw;
  saved.g_CadHOld = v.g_cadh;
}

void WheelZoom(TView& v, TSavedView& saved, TPixel cursor, bool towardsUser) {
  const TAcadPoint p = ScreenToWorld(cursor, v);
  const double dx = p.x - v.g_cadpt.x, dy = p.y - v.g_cadpt.y;
  SaveView(v, saved);
  const double f = towardsUser ? 2.0 : 0.5;
  v.g_cadw *= f;
  v.g_cadh *= f;
  v.g_cadpt.x = p.x - f * dx;
  v.g_cadpt.y = p.y - f * dy;
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
  return Format("W= %.2f , H= %.2f - X= %.2f , Y= %.2f", v.W * s, v.H * s, w.x, w.y);
}

std::u16string ViewSizeStatus(const TView& v) {
  const double s = PixelSize(v);
  return Format("W= %.2f , H= %.2f", v.W * s, v.H * s);
}

std::u16string OpenStatus(double width, double height, double seconds) {
  return Format("dX=%.2f, dY=%.2f (%.2fsec)", width, height, seconds);
}

std::u16string OpenedCaption(std::u16string_view fileName, double width, double height) {
  return std::u16string(fileName) + Format(" ( %.0f x %.0f )", width, height);
}

double ElapsedSeconds(std::uint32_t startTicks, std::uint32_t nowTicks) {
  return static_cast<std::uint32_t>(nowTicks - startTicks) / 1000.0;
}

}  // namespace tesmar
