#pragma once
// What the files of the render pass share: the guard that keeps primitives within what the
// platform's rasteriser and 32-bit integers hold, the pen, and the state of one pass over the
// model. The render pass is split by topic: render_pass.cpp (the entry and the plain pass),
// render_pass_clip.cpp (clipping and the primitives), render_pass_in_view.cpp (the in-view
// tests), render_pass_index.cpp (building the index) and render_pass_indexed.cpp (the pass
// over the index, with its direct raster writes).
#include <cmath>
#include <cstdint>

#include "dxf/model.h"
#include "render/canvas.h"
#include "render/colours.h"
#include "render/geometry.h"
#include "render/render_pass.h"
#include "render/text_draw.h"
#include "render/textcodes.h"

namespace tesmar::render_pass {

// Pixel coordinates, relative to the origin, beyond which a primitive is clipped before it
// reaches the canvas: far outside any image, and well inside what the platform's rasteriser
// and 32-bit integers hold.
inline constexpr double kGuard = 67108864.0;  // 2^26

inline bool InGuard(double x, double y) { return std::fabs(x) <= kGuard && std::fabs(y) <= kGuard; }

// Clips the segment to the guard square (Liang-Barsky); false when nothing of it is left.
inline bool ClipToGuard(double& x1, double& y1, double& x2, double& y2) {
  const double dx = x2 - x1, dy = y2 - y1;
  double t0 = 0, t1 = 1;
  auto edge = [&](double p, double q) {
    if (p == 0) return q >= 0;
    const double t = q / p;
    if (p < 0) {
      if (t > t1) return false;
      if (t > t0) t0 = t;
    } else {
      if (t < t0) return false;
      if (t < t1) t1 = t;
    }
    return true;
  };
  if (!(edge(-dx, x1 + kGuard) && edge(dx, kGuard - x1) && edge(-dy, y1 + kGuard) && edge(dy, kGuard - y1))) return false;
  const double ox = x1, oy = y1;
  x1 = ox + t0 * dx, y1 = oy + t0 * dy;
  x2 = ox + t1 * dx, y2 = oy + t1 * dy;
  return true;
}

inline TPixel Pixel(double x, double y, TPixel origin) { return TPixel{NearestInt(x) + origin.x, NearestInt(y) + origin.y}; }

inline void SetPen(Canvas& canvas, Colour colour, int width, TPenStyle style) {
  const PenState pen = canvas.Pen();
  if (pen.width != width) canvas.SetPenWidth(width);
  if (pen.colour != colour) canvas.SetPenColour(colour);
  if (pen.style != style) canvas.SetPenStyle(style);
}

// The two pixels of a segment; false when nothing of it lies within the guard.
inline bool SegmentPixels(TPixel origin, double s, TAcadPoint p, TAcadPoint q, TPixel& P, TPixel& Q) {
  double x1 = p.x / s, y1 = -p.y / s, x2 = q.x / s, y2 = -q.y / s;
  if (!(InGuard(x1, y1) && InGuard(x2, y2)) && !ClipToGuard(x1, y1, x2, y2)) return false;
  P = Pixel(x1, y1, origin);
  Q = Pixel(x2, y2, origin);
  return true;
}

inline constexpr double kHundredthDegree = 0.00017453292519943296;

template <class Record>
bool Skipped(const Record& r) {
  return r.code60 != 0 || r.code67 != 0;
}

// What one pass needs to know about every record.
struct Pass {
  TDrawingModel& m;
  Canvas& canvas;
  const TRenderArgs& a;
  double s = 1;
  TBox R;
  std::int32_t selected = -1;
  int count = 0;

  template <class Record>
  bool Wanted(const Record& r) const {
    if (Skipped(r)) return false;
    const std::int32_t layer = static_cast<std::int32_t>(r.layindex);
    if (selected >= 0) return layer == selected;
    return LayerVisibleAt(m, layer);
  }
  Colour ColourOf(std::uint32_t pen) const { return ApplyColourMode(pen, a.background, a.colourMode); }
  TAcadPoint Rel(TAcadPoint p) const { return AcadPointSubXY(p, a.centre); }

  // Raises the end angle of an arc through 0 degrees, in the model.
  static void NormaliseArc(TArcBlk& r) {
    if (r.st > r.ed) r.ed += 360;
  }
  void Line(const TAcadLineBlk& r) {
    DrawSegment(canvas, a.origin, s, Rel(r.st), Rel(r.ed), ColourOf(r.PenColor), a.penWidth, r.PenStyle);
  }
  void Circle(const TCircleBlk& r) {
    DrawArc(canvas, a.origin, s, Rel(r.center), r.hankei, 0, 0, ColourOf(r.PenColor), a.penWidth, r.PenStyle);
  }
  void Arc(TArcBlk& r) {
    NormaliseArc(r);
    const TAcadPoint c = Rel(r.center);
    const Colour colour = ColourOf(r.PenColor);
    if (std::fabs(r.ed - r.st) <= 1) {
      DrawSegment(canvas, a.origin, s, AcadPointPolar(c, r.st * kDegToRad, r.hankei),
                  AcadPointPolar(c, r.ed * kDegToRad, r.hankei), colour, a.penWidth, r.PenStyle);
    } else {
      DrawArc(canvas, a.origin, s, c, r.hankei, r.st * kDegToRad, r.ed * kDegToRad, colour, a.penWidth, r.PenStyle);
    }
  }
  void Fill(const TFillBlk& r) { DrawFill(canvas, a.origin, s, a.W, a.H, r, a.centre, ColourOf(r.PenColor)); }
  // The part of an infinite line inside the view (widened by a pixel each side).
  bool XlineEnds(const TXlineBlk& r, TAcadPoint& p, TAcadPoint& q) const {
    const TBox wide{{R.min.x - s, R.min.y - s, 0}, {R.max.x + s, R.max.y + s, 0}};
    if (!XlineSegment(r, wide, p, q)) return false;
    p = Rel(p), q = Rel(q);
    return true;
  }
  void Xline(const TXlineBlk& r) {
    TAcadPoint p, q;
    if (XlineEnds(r, p, q)) DrawSegment(canvas, a.origin, s, p, q, ColourOf(r.PenColor), a.penWidth, r.PenStyle);
  }
  void Text(const TTextBlk& r) {
    DrawText(canvas, a.origin, s, ReplaceSpecialCodes(r.str), Rel(r.pt10), Rel(r.pt11), r.code72, r.code73, r.code40,
             r.code41, r.code50, r.code44, ColourOf(r.PenColor), r.code71, r.mtflag, r.pt11);
  }
};

// The straightforward pass: every record is looked at and drawn on its own.
void PlainPass(Pass& p);

// The pass over the index (see render_pass_indexed.cpp).
void RunIndexedPass(Pass& p, const TRenderIndex& index);

}  // namespace tesmar::render_pass
