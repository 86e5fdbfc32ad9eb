#include "render/render_pass.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <initializer_list>
#include <limits>
#include <type_traits>
#include <unordered_set>
#include <utility>
#include <vector>

#include "render/colours.h"
#include "render/extents.h"
#include "render/text_draw.h"
#include "render/textcodes.h"

namespace tesmar {

namespace {

// Pixel coordinates, relative to the origin, beyond which a primitive is clipped before it
// reaches the canvas: far outside any image, and well inside what the platform's rasteriser
// and 32-bit integers hold.
constexpr double kGuard = 67108864.0;  // 2^26

bool InGuard(double x, double y) { return std::fabs(x) <= kGuard && std::fabs(y) <= kGuard; }

// Clips the segment to the guard square (Liang-Barsky); false when nothing of it is left.
bool ClipToGuard(double& x1, double& y1, double& x2, double& y2) {
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

TPixel Pixel(double x, double y, TPixel origin) { return TPixel{NearestInt(x) + origin.x, NearestInt(y) + origin.y}; }

void SetPen(Canvas& canvas, Colour colour, int width, TPenStyle style) {
  const PenState pen = canvas.Pen();
  if (pen.width != width) canvas.SetPenWidth(width);
  if (pen.colour != colour) canvas.SetPenColour(colour);
  if (pen.style != style) canvas.SetPenStyle(style);
}

// The two pixels of a segment; false when nothing of it lies within the guard.
bool SegmentPixels(TPixel origin, double s, TAcadPoint p, TAcadPoint q, TPixel& P, TPixel& Q) {
  double x1 = p.x / s, y1 = -p.y / s, x2 = q.x / s, y2 = -q.y / s;
  if (!(InGuard(x1, y1) && InGuard(x2, y2)) && !ClipToGuard(x1, y1, x2, y2)) return false;
  P = Pixel(x1, y1, origin);
  Q = Pixel(x2, y2, origin);
  return true;
}

constexpr double kHundredthDegree = 0.00017453292519943296;

// An arc whose circle reaches beyond the guard: the part near the image is drawn as chords
// short enough to stay within a quarter pixel of the curve.
void DrawHugeArc(Canvas& canvas, TPixel origin, double s, TAcadPoint c, double r, double a0, double a1) {
  const double R = r / s;
  const double cx = c.x / s, cy = -c.y / s;  // centre in pixels, y down, relative to the origin
  const double d = std::hypot(cx, cy);
  // Only the points within L pixels of the origin can matter.
  const double L = 4.0 * (std::abs(origin.x) + std::abs(origin.y)) + 4096.0;
  if (std::fabs(d - R) > L) return;
  const double cosHalf = (R * R + d * d - L * L) / (2 * R * d);
  const double half = cosHalf <= -1 ? kPi : std::acos(std::min(1.0, cosHalf));
  // Direction from the centre to the origin, as a world angle (counter-clockwise, y up).
  const double toward = std::atan2(cy, -cx);
  double lo = toward - half, hi = toward + half;
  // Intersect [lo, hi] with the sweep [a0, a1] (a1 > a0, at most one turn).
  const double step = 2 * std::sqrt(0.5 / R);
  auto draw = [&](double from, double to) {
    if (to <= from) return;
    const int n = static_cast<int>(std::ceil((to - from) / step));
    TAcadPoint prev = AcadPointPolar(c, from, r);
    for (int i = 1; i <= n; ++i) {
      const TAcadPoint next = AcadPointPolar(c, from + (to - from) * i / n, r);
      TPixel P, Q;
      if (SegmentPixels(origin, s, prev, next, P, Q)) {
        canvas.MoveTo(P.x, P.y);
        canvas.LineTo(Q.x, Q.y);
      }
      prev = next;
    }
  };
  for (int turn = -2; turn <= 2; ++turn) {
    const double shift = turn * kTwoPi;
    draw(std::max(a0, lo + shift), std::min(a1, hi + shift));
  }
}

// The part of a ring inside the rectangle [lo, hi] x [lo2, hi2] (Sutherland-Hodgman), pixel
// coordinates; within the rectangle the even-odd fill of clipped rings is that of the rings.
std::vector<std::pair<double, double>> ClipRing(std::vector<std::pair<double, double>> ring, double x0, double y0,
                                                double x1, double y1) {
  auto clip = [&](auto inside, auto cross) {
    std::vector<std::pair<double, double>> out;
    for (std::size_t i = 0; i < ring.size(); ++i) {
      const auto& a = ring[i];
      const auto& b = ring[(i + 1) % ring.size()];
      const bool ia = inside(a), ib = inside(b);
      if (ia) out.push_back(a);
      if (ia != ib) out.push_back(cross(a, b));
    }
    ring = std::move(out);
  };
  auto atX = [](double x) {
    return [x](const std::pair<double, double>& a, const std::pair<double, double>& b) {
      const double f = (x - a.first) / (b.first - a.first);
      return std::pair<double, double>{x, a.second + (b.second - a.second) * f};
    };
  };
  auto atY = [](double y) {
    return [y](const std::pair<double, double>& a, const std::pair<double, double>& b) {
      const double f = (y - a.second) / (b.second - a.second);
      return std::pair<double, double>{a.first + (b.first - a.first) * f, y};
    };
  };
  clip([&](const auto& p) { return p.first >= x0; }, atX(x0));
  clip([&](const auto& p) { return p.first <= x1; }, atX(x1));
  clip([&](const auto& p) { return p.second >= y0; }, atY(y0));
  clip([&](const auto& p) { return p.second <= y1; }, atY(y1));
  return ring;
}

}  // namespace

void DrawFill(Canvas& canvas, TPixel origin, double s, int W, int H, const TFillBlk& f, TAcadPoint centre,
              Colour colour) {
  // Rings are cut to a little more than the image, so that far corners never reach the canvas.
  const double margin = 64;
  const double x0 = -origin.x - margin, y0 = -origin.y - margin, x1 = W - origin.x + margin, y1 = H - origin.y + margin;
  std::vector<CanvasPoint> pts;
  std::vector<std::uint32_t> counts;
  std::size_t at = 0;
  for (std::uint32_t count : f.counts) {
    if (at + count > f.pts.size()) break;
    std::vector<std::pair<double, double>> ring;
    for (std::size_t i = at; i < at + count; ++i) {
      const TAcadPoint p = AcadPointSubXY(f.pts[i], centre);
      ring.emplace_back(p.x / s, -p.y / s);
    }
    at += count;
    ring = ClipRing(std::move(ring), x0, y0, x1, y1);
    if (ring.size() < 3) continue;
    for (const auto& [x, y] : ring) {
      const TPixel px = Pixel(x, y, origin);
      pts.push_back(CanvasPoint{px.x, px.y});
    }
    counts.push_back(static_cast<std::uint32_t>(ring.size()));
  }
  if (counts.empty()) return;
  const BrushState before = canvas.Brush();
  if (before.style != BrushStyle::Solid) canvas.SetBrushStyle(BrushStyle::Solid);
  if (before.colour != colour) canvas.SetBrushColour(colour);
  canvas.FillPolyPolygon(pts.data(), counts.data(), counts.size());
  if (before.colour != colour) canvas.SetBrushColour(before.colour);
  if (before.style != BrushStyle::Solid) canvas.SetBrushStyle(before.style);
}

bool XlineSegment(const TXlineBlk& x, const TBox& r, TAcadPoint& a, TAcadPoint& b) {
  const double len = std::hypot(x.dir.x, x.dir.y);
  if (!(len > 0) || !std::isfinite(len)) return false;
  const double dx = x.dir.x / len, dy = x.dir.y / len;
  double t0 = x.ray ? 0 : -INFINITY, t1 = INFINITY;
  auto edge = [&](double p, double q) {  // p t <= q
    if (p == 0) return q >= 0;
    const double t = q / p;
    if (p < 0) t0 = std::max(t0, t);
    else t1 = std::min(t1, t);
    return true;
  };
  if (!(edge(-dx, x.base.x - r.min.x) && edge(dx, r.max.x - x.base.x) && edge(-dy, x.base.y - r.min.y) &&
        edge(dy, r.max.y - x.base.y)))
    return false;
  if (!(t0 <= t1) || !std::isfinite(t0) || !std::isfinite(t1)) return false;
  a = TAcadPoint{x.base.x + dx * t0, x.base.y + dy * t0, 0};
  b = TAcadPoint{x.base.x + dx * t1, x.base.y + dy * t1, 0};
  return true;
}

bool FillInView(const TFillBlk& f, const TBox& r) {
  if (f.pts.empty()) return false;
  TBox b{f.pts.front(), f.pts.front()};
  for (const TAcadPoint& p : f.pts) BoxAdd(b, p);
  return !(b.max.x < r.min.x || b.min.x > r.max.x || b.max.y < r.min.y || b.min.y > r.max.y);
}

TRenderArgs RenderArgsFor(const TView& v, int colourMode, bool drawAll, bool fast) {
  TRenderArgs a;
  a.centre = v.g_cadpt;
  a.width = v.g_cadw;
  a.height = v.g_cadh;
  a.origin = v.Origin();
  a.W = v.W;
  a.H = v.H;
  a.dispScale = v.g_DispScale;
  a.colourMode = colourMode;
  a.drawAll = drawAll;
  a.fast = fast;
  return a;
}

void DrawSegment(Canvas& canvas, TPixel origin, double s, TAcadPoint p, TAcadPoint q, Colour colour, int width,
                 TPenStyle style) {
  TPixel P, Q;
  const bool visible = SegmentPixels(origin, s, p, q, P, Q);
  SetPen(canvas, colour, width, style);
  if (!visible) return;
  canvas.MoveTo(P.x, P.y);
  canvas.LineTo(Q.x, Q.y);
}

void DrawArc(Canvas& canvas, TPixel origin, double s, TAcadPoint c, double r, double a0, double a1, Colour colour,
             int width, TPenStyle style) {
  const double cx = c.x / s, cy = -c.y / s;
  if (NearestInt(r / s) < 1) {
    if (InGuard(cx, cy)) canvas.SetPixel(NearestInt(cx) + origin.x, NearestInt(cy) + origin.y, colour);
    return;
  }
  if (a0 > a1) a1 += kTwoPi;
  const double R = r / s;
  if (!InGuard(std::fabs(cx) + R, std::fabs(cy) + R)) {
    SetPen(canvas, colour, width, style);
    DrawHugeArc(canvas, origin, s, c, r, a0, a1 == a0 ? a0 + kTwoPi : a1);
    return;
  }
  const TPixel S = WorldToScreen(AcadPointPolar(c, a0, r), s, origin);
  const TPixel E = WorldToScreen(AcadPointPolar(c, a1, r), s, origin);
  // Start and end on one pixel: a short arc shrinks to the pixel at its centre; an arc of more
  // than half a turn is drawn whole, as its gap is below a pixel.
  if (S == E && std::fabs(a1 - a0) > kHundredthDegree && std::fabs(a1 - a0) <= kPi) {
    canvas.SetPixel(NearestInt(cx) + origin.x, NearestInt(cy) + origin.y, colour);
    return;
  }
  const TPixel TL = WorldToScreen(TAcadPoint{c.x - r, c.y + r, 0}, s, origin);
  const TPixel BR = WorldToScreen(TAcadPoint{c.x + r, c.y - r, 0}, s, origin);
  SetPen(canvas, colour, width, style);
  canvas.Arc(TL.x, TL.y, BR.x, BR.y, S.x, S.y, E.x, E.y);
}

namespace {

// Far from the origin (coordinates beyond 1e150) the products of the crossing tests overflow.
// There the points are taken from the centre of `frame` in units of its size, which a crossing
// does not change; nearer drawings are tested as they are.
struct FarFrame {
  bool far = false;
  TAcadPoint centre;
  double unit = 1;
  explicit FarFrame(const TBox& frame, std::initializer_list<TAcadPoint> points) {
    constexpr double kFar = 1e150;
    for (const TAcadPoint& p : points) far = far || !(std::fabs(p.x) < kFar && std::fabs(p.y) < kFar);
    far = far || !(std::fabs(frame.min.x) < kFar && std::fabs(frame.max.x) < kFar && std::fabs(frame.min.y) < kFar &&
                   std::fabs(frame.max.y) < kFar);
    if (!far) return;
    centre = TAcadPoint{frame.min.x / 2 + frame.max.x / 2, frame.min.y / 2 + frame.max.y / 2, 0};
    const double size = std::max(frame.max.x / 2 - frame.min.x / 2, frame.max.y / 2 - frame.min.y / 2);
    unit = size > 0 && std::isfinite(size) ? size : 1;
  }
  TAcadPoint operator()(TAcadPoint p) const {
    return far ? TAcadPoint{(p.x - centre.x) / unit, (p.y - centre.y) / unit, 0} : p;
  }
  TBox operator()(const TBox& b) const { return far ? TBox{(*this)(b.min), (*this)(b.max)} : b; }
};

}  // namespace

bool LineInView(const TAcadLineBlk& line, const TBox& view) {
  if (PointInBox(line.st, view) && PointInBox(line.ed, view)) return true;
  const FarFrame f(view, {line.st, line.ed});
  const TBox r = f(view);
  const TAcadPoint st = f(line.st), ed = f(line.ed);
  const TAcadPoint ul{r.min.x, r.max.y, 0}, lr{r.max.x, r.min.y, 0};
  return SegmentIntersection(st, ed, r.min, ul, true) || SegmentIntersection(st, ed, r.min, lr, true) ||
         SegmentIntersection(st, ed, r.max, ul, true) || SegmentIntersection(st, ed, r.max, lr, true);
}

bool BoxPathsCross(const TBox& boxA, const TBox& boxB) {
  const FarFrame f(boxA, {boxB.min, boxB.max});
  const TBox a = f(boxA), b = f(boxB);
  auto path = [](const TBox& x) {
    const TAcadPoint ul{x.min.x, x.max.y, 0}, lr{x.max.x, x.min.y, 0};
    return std::array<TAcadPoint, 5>{x.min, ul, lr, x.max, x.min};
  };
  const auto pa = path(a), pb = path(b);
  for (int i = 0; i < 4; ++i) {
    for (int j = 0; j < 4; ++j) {
      if (SegmentIntersection(pa[i], pa[i + 1], pb[j], pb[j + 1], true)) return true;
    }
  }
  return false;
}

bool CircleInView(const TCircleBlk& c, const TBox& r) {
  return PointInBox(c.center, r) || BoxPathsCross(r, CircleBox(c.center, c.hankei));
}

bool ArcInView(const TArcBlk& a, const TBox& r) {
  const double a0 = a.st * kDegToRad, a1 = a.ed * kDegToRad;
  return PointInBox(a.center, r) || PointInBox(AcadPointPolar(a.center, a0, a.hankei), r) ||
         PointInBox(AcadPointPolar(a.center, a1, a.hankei), r) || BoxPathsCross(r, ArcBox(a.center, a.hankei, a0, a1));
}

bool TextInView(const TTextBlk& t, const TBox& r) { return PointInBox(t.pt10, r) || BoxPathsCross(r, TextBox(t)); }

namespace {

TRenderIndex::Box OutwardBox(const TBox& b) {
  constexpr float inf = std::numeric_limits<float>::infinity();
  auto down = [](double v) {
    const float f = static_cast<float>(v);
    return static_cast<double>(f) > v ? std::nextafter(f, -inf) : f;
  };
  auto up = [](double v) {
    const float f = static_cast<float>(v);
    return static_cast<double>(f) < v ? std::nextafter(f, inf) : f;
  };
  return TRenderIndex::Box{down(b.min.x), down(b.min.y), up(b.max.x), up(b.max.y)};
}

// The box of everything an arc's in-view test may accept: its centre and its arc, taken as the
// whole circle when the angles are not a plain counter-clockwise sweep within one turn (the
// end angle of such an arc is raised by the render pass later).
TBox ArcIndexBox(const TArcBlk& a) {
  TBox b = (a.st <= a.ed && a.st >= 0 && a.ed <= 360)
               ? ArcBox(a.center, a.hankei, a.st * kDegToRad, a.ed * kDegToRad)
               : CircleBox(a.center, a.hankei);
  BoxAdd(b, a.center);
  return b;
}

TBox TextIndexBox(const TTextBlk& t) {
  TBox b = TextBox(t);
  BoxAdd(b, t.pt10);
  return b;
}

enum class Cull { Outside, Inside, Test };

Cull Classify(const TRenderIndex::Box& b, const TBox& r) {
  if (b.maxx < r.min.x || b.minx > r.max.x || b.maxy < r.min.y || b.miny > r.max.y) return Cull::Outside;
  if (b.minx >= r.min.x && b.maxx <= r.max.x && b.miny >= r.min.y && b.maxy <= r.max.y) return Cull::Inside;
  return Cull::Test;
}

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
void PlainPass(Pass& p) {
  const bool fast = p.a.fast;
  auto table = [&](auto& rows, auto inView, auto draw) {
    const std::size_t stepBy = fast ? 2 : 1;
    for (std::size_t i = 0; i < rows.size(); i += stepBy) {
      auto& r = rows[i];
      if (!p.Wanted(r)) continue;
      if (p.selected < 0 && !p.a.drawAll && !inView(r, p.R)) continue;
      ++p.count;
      draw(r);
    }
  };
  for (const TFillBlk& r : p.m.FillAry) {
    if (!p.Wanted(r)) continue;
    if (p.selected < 0 && !p.a.drawAll && !FillInView(r, p.R)) continue;
    ++p.count;
    p.Fill(r);
  }
  table(p.m.LineAry, LineInView, [&](auto& r) { p.Line(r); });
  table(p.m.CircleAry, CircleInView, [&](auto& r) { p.Circle(r); });
  table(p.m.ArcAry, ArcInView, [&](auto& r) { p.Arc(r); });
  for (const TXlineBlk& r : p.m.XlineAry) {
    if (!p.Wanted(r)) continue;
    ++p.count;
    p.Xline(r);
  }
  if (fast) return;
  for (const TTextBlk& r : p.m.TextAry) {
    if (!p.Wanted(r) || (r.code70 & 1) != 0) continue;
    if (p.selected < 0 && !p.a.drawAll && !TextInView(r, p.R)) continue;
    ++p.count;
    p.Text(r);
  }
}

// Lines of one pen gathered for one poly-polyline call.
class LineBatch {
 public:
  explicit LineBatch(Canvas& c) : canvas_(c) {}
  void Add(TPixel P, TPixel Q) {
    pts_.push_back(CanvasPoint{P.x, P.y});
    pts_.push_back(CanvasPoint{Q.x, Q.y});
    counts_.push_back(2);
  }
  bool Empty() const { return counts_.empty(); }
  void Flush() {
    if (counts_.empty()) return;
    canvas_.PolyPolyline(pts_.data(), counts_.data(), counts_.size());
    pts_.clear();
    counts_.clear();
  }

 private:
  Canvas& canvas_;
  std::vector<CanvasPoint> pts_;
  std::vector<std::uint32_t> counts_;
};

// The pass over the index. Records are visited in table order, so overlaps paint as in the
// plain pass; what differs is only what costs nothing on the screen: records outside the view
// are dismissed by their boxes, segments whose ends fall on one pixel and primitives wholly
// outside the image make no canvas call, solid one-pixel lines of one pen go out together,
// and in copy mode a line, arc or pixel that the current pen has already drawn is not drawn
// again.
class IndexedPass {
 public:
  IndexedPass(Pass& p, const TRenderIndex& index) : p_(p), index_(index), batch_(p.canvas) {
    thin_ = p.a.penWidth <= 1;
    margin_ = std::max(p.a.penWidth, 1);
    for (const TLayer& l : p.m.LayerAry) visible_.push_back(l.visible);
    copy_ = p.canvas.Pen().mode == PenMode::Copy;
    direct_ = copy_ && thin_ && p.a.raster && p.a.raster->W == p.a.W && p.a.raster->H == p.a.H ? p.a.raster : nullptr;
  }

  void Run() {
    const bool fast = p_.a.fast;
    Table(p_.m.FillAry, index_.fills, false, FillInView, [&](TFillBlk& r) {
      Flush();
      Forget();
      CanvasDraws();
      p_.Fill(r);
    });
    Table(p_.m.LineAry, index_.lines, fast, LineInView, [&](TAcadLineBlk& r) { Line(r); }, &index_.lineLayers);
    Table(p_.m.CircleAry, index_.circles, fast, CircleInView, [&](TCircleBlk& r) { Round(r); });
    Table(p_.m.ArcAry, index_.arcs, fast, ArcInView, [&](TArcBlk& r) { Round(r); });
    for (const TXlineBlk& r : p_.m.XlineAry) {
      if (!Wanted(r)) continue;
      ++p_.count;
      TAcadPoint a, b;
      if (p_.XlineEnds(r, a, b)) Segment(a, b, p_.ColourOf(r.PenColor), r.PenStyle);
    }
    if (!fast) {
      Table(p_.m.TextAry, index_.texts, false, TextInView, [&](TTextBlk& r) {
        if (TextCellHeight(r.code40, p_.s) <= 1) return;
        Flush();
        Forget();
        CanvasDraws();
        p_.Text(r);
      });
    }
    batch_.Flush();
  }

 private:
  template <class Record>
  bool Wanted(const Record& r) const {
    if (Skipped(r)) return false;
    if constexpr (std::is_same_v<Record, TTextBlk>) {
      if ((r.code70 & 1) != 0) return false;
    }
    const std::int32_t layer = static_cast<std::int32_t>(r.layindex);
    if (p_.selected >= 0) return layer == p_.selected;
    return layer < 0 || static_cast<std::size_t>(layer) >= visible_.size() || visible_[layer];
  }

  bool WantedLayer(std::int32_t layer) const {
    if (layer == TRenderIndex::kNeverDrawn) return false;
    if (p_.selected >= 0) return layer == p_.selected;
    return layer < 0 || static_cast<std::size_t>(layer) >= visible_.size() || visible_[layer];
  }

  // The pixel column and row that a world point's x and y round to, as the segment's ends do.
  std::int32_t Column(double x) const { return NearestInt((x - p_.a.centre.x) / p_.s); }
  std::int32_t RowOf(double y) const { return NearestInt(-(y - p_.a.centre.y) / p_.s); }

  // True when every point of the box rounds to one pixel: a thin segment inside it has both
  // ends on that pixel and draws nothing (the rounding keeps the order of coordinates).
  bool OnOnePixel(const TRenderIndex::Box& b) const {
    return thin_ && Column(b.minx) == Column(b.maxx) && RowOf(b.miny) == RowOf(b.maxy);
  }

  template <class Rows, class InView, class Draw>
  void Table(Rows& rows, const std::vector<TRenderIndex::Box>& boxes, bool fast, InView inView, Draw draw,
             const std::vector<std::int32_t>* layers = nullptr) {
    const std::size_t stepBy = fast ? 2 : 1;
    const bool cull = p_.selected < 0 && !p_.a.drawAll && boxes.size() == rows.size();
    if (layers && layers->size() == rows.size() && boxes.size() == rows.size()) {
      // Lines: the box and the layer decide most of them without the record being read.
      const bool wantAll = p_.selected >= 0 || p_.a.drawAll;
      for (std::size_t i = 0; i < rows.size(); i += stepBy) {
        if (!WantedLayer((*layers)[i])) continue;
        const Cull c = Classify(boxes[i], p_.R);
        if (!wantAll && (c == Cull::Outside || (c == Cull::Test && !inView(rows[i], p_.R)))) continue;
        ++p_.count;
        if (c == Cull::Inside && OnOnePixel(boxes[i])) continue;
        draw(rows[i]);
      }
      return;
    }
    for (std::size_t i = 0; i < rows.size(); i += stepBy) {
      if (cull) {
        const Cull c = Classify(boxes[i], p_.R);
        if (c == Cull::Outside) continue;
        if (!Wanted(rows[i])) continue;
        if (c == Cull::Test && !inView(rows[i], p_.R)) continue;
      } else {
        if (!Wanted(rows[i])) continue;
        if (p_.selected < 0 && !p_.a.drawAll && !inView(rows[i], p_.R)) continue;
      }
      ++p_.count;
      draw(rows[i]);
    }
  }

  void Flush() {
    if (!batch_.Empty()) CanvasDraws();
    batch_.Flush();
    pixelValid_ = false;
  }

  // The canvas is about to draw: what it draws may be held back until the next Sync.
  void CanvasDraws() { synced_ = false; }

  // Writes pixel P (inside the image) with colour-table index `value` straight into the raster.
  void Put(TPixel P, std::uint8_t value) {
    if (!synced_) direct_->Sync(), synced_ = true;
    direct_->rows.Row(P.y)[P.x] = value;
  }

  bool InImage(TPixel P) const { return P.x >= 0 && P.y >= 0 && P.x < p_.a.W && P.y < p_.a.H; }

  // Forgets what was drawn with the current pen: after a pen change or a drawing in another
  // colour, drawing the same primitive again may change pixels.
  void Forget() {
    segments_.clear();
    onePixel_.clear();
    arcs_.clear();
  }

  // Sets the pen, first sending the lines gathered with the pen that goes.
  void Pen(Colour colour, TPenStyle style) {
    const PenState pen = p_.canvas.Pen();
    if (pen.colour == colour && pen.width == p_.a.penWidth && pen.style == style) return;
    Flush();
    Forget();
    SetPen(p_.canvas, colour, p_.a.penWidth, style);
    penIndexValid_ = false;
  }

  std::uint8_t PenIndex() {
    if (!penIndexValid_) penIndex_ = direct_->PenIndex(p_.canvas.Pen().colour), penIndexValid_ = true;
    return penIndex_;
  }

  static bool Short16(int v) { return v >= -32768 && v <= 32767; }
  static std::uint32_t Pack(TPixel p) {
    return (static_cast<std::uint32_t>(p.x) & 0xFFFF) | ((static_cast<std::uint32_t>(p.y) & 0xFFFF) << 16);
  }

  // True when the same pen has already drawn exactly these pixels in copy mode, so that
  // drawing them again changes nothing. A segment whose ends are neighbours draws only its
  // first pixel, whatever the neighbour.
  bool Repeated(TPixel P, TPixel Q) {
    if (!copy_ || !Short16(P.x) || !Short16(P.y) || !Short16(Q.x) || !Short16(Q.y)) return false;
    if (std::abs(P.x - Q.x) <= 1 && std::abs(P.y - Q.y) <= 1) return !onePixel_.insert(Pack(P)).second;
    return !segments_.insert((static_cast<std::uint64_t>(Pack(P)) << 32) | Pack(Q)).second;
  }

  bool OffImage(int x1, int y1, int x2, int y2) const {
    return std::max(x1, x2) < -margin_ || std::min(x1, x2) >= p_.a.W + margin_ || std::max(y1, y2) < -margin_ ||
           std::min(y1, y2) >= p_.a.H + margin_;
  }

  void Segment(TAcadPoint p, TAcadPoint q, Colour colour, TPenStyle style) {
    TPixel P, Q;
    const bool visible = SegmentPixels(p_.a.origin, p_.s, p, q, P, Q);
    Pen(colour, style);
    if (!visible || (thin_ && (P == Q || OffImage(P.x, P.y, Q.x, Q.y)))) return;
    // Ends on neighbouring pixels: the solid pen draws the first pixel alone.
    if (direct_ && style == 0 && std::abs(P.x - Q.x) <= 1 && std::abs(P.y - Q.y) <= 1) {
      if (InImage(P)) Put(P, PenIndex());
      return;
    }
    if (thin_ && style == 0) {
      if (Repeated(P, Q)) return;
      batch_.Add(P, Q);
      pixelValid_ = false;
      return;
    }
    Flush();
    CanvasDraws();
    p_.canvas.MoveTo(P.x, P.y);
    p_.canvas.LineTo(Q.x, Q.y);
  }

  // The pixel at the centre of a circle or arc that comes to one pixel, in `colour`.
  void CentrePixel(TPixel P, Colour colour) {
    if (!InImage(P)) return;
    if (direct_) {
      // Lines of the current pen that are still to go out may cover P: they go first unless they
      // are of the same colour.
      if (colour != p_.canvas.Pen().colour) {
        Flush();
        Forget();
      }
      if (colour != pixelColour_ || !pixelIndexValid_) {
        pixelIndex_ = direct_->PixelIndex(colour), pixelColour_ = colour, pixelIndexValid_ = true;
      }
      Put(P, pixelIndex_);
      return;
    }
    if (copy_ && pixelValid_ && P == lastPixel_ && colour == lastColour_) return;
    batch_.Flush();
    if (colour != p_.canvas.Pen().colour) Forget();
    CanvasDraws();
    p_.canvas.SetPixel(P.x, P.y, colour);
    pixelValid_ = true, lastPixel_ = P, lastColour_ = colour;
  }

  void Line(const TAcadLineBlk& r) { Segment(p_.Rel(r.st), p_.Rel(r.ed), p_.ColourOf(r.PenColor), r.PenStyle); }

  // A circle or an arc.
  template <class Record>
  void Round(Record& r) {
    double a0 = 0, a1 = 0;
    const TAcadPoint c = p_.Rel(r.center);
    const Colour colour = p_.ColourOf(r.PenColor);
    if constexpr (std::is_same_v<Record, TArcBlk>) {
      Pass::NormaliseArc(r);
      if (std::fabs(r.ed - r.st) <= 1) {
        Segment(AcadPointPolar(c, r.st * kDegToRad, r.hankei), AcadPointPolar(c, r.ed * kDegToRad, r.hankei), colour,
                r.PenStyle);
        return;
      }
      a0 = r.st * kDegToRad, a1 = r.ed * kDegToRad;
    }
    const double s = p_.s;
    if (NearestInt(r.hankei / s) < 1) {
      const double cx = c.x / s, cy = -c.y / s;
      if (!InGuard(cx, cy)) return;
      CentrePixel(Pixel(cx, cy, p_.a.origin), colour);
      return;
    }
    const double R = r.hankei / s, cx = c.x / s + p_.a.origin.x, cy = -c.y / s + p_.a.origin.y;
    if (thin_ && OffImage(static_cast<int>(std::max(cx - R - 2, -1e9)), static_cast<int>(std::max(cy - R - 2, -1e9)),
                          static_cast<int>(std::min(cx + R + 2, 1e9)), static_cast<int>(std::min(cy + R + 2, 1e9)))) {
      Pen(colour, r.PenStyle);
      return;
    }
    Pen(colour, r.PenStyle);
    if (copy_ && thin_ && r.PenStyle == 0 && R < 16384 && std::fabs(cx) < 16384 && std::fabs(cy) < 16384) {
      // The arc's pixels follow from its box and its two end pixels.
      const TAcadPoint S = AcadPointPolar(c, a0, r.hankei), E = AcadPointPolar(c, a1, r.hankei);
      const TPixel ps = WorldToScreen(S, s, p_.a.origin), pe = WorldToScreen(E, s, p_.a.origin);
      const TPixel tl = WorldToScreen(TAcadPoint{c.x - r.hankei, c.y + r.hankei, 0}, s, p_.a.origin);
      const TPixel br = WorldToScreen(TAcadPoint{c.x + r.hankei, c.y - r.hankei, 0}, s, p_.a.origin);
      // Equal end pixels draw the whole circle or the centre pixel, by the sweep.
      const double sweep = std::fabs((a0 > a1 ? a1 + kTwoPi : a1) - a0);
      const std::int32_t kind = sweep <= kHundredthDegree ? 0 : sweep <= kPi ? 1 : 2;
      if (direct_ && kind == 1 && ps == pe) {
        // A short arc whose ends fall on one pixel shrinks to the pixel at its centre.
        CentrePixel(Pixel(c.x / s, -c.y / s, p_.a.origin), colour);
        return;
      }
      const std::array<std::int32_t, 9> key{tl.x, tl.y, br.x, br.y, ps.x, ps.y, pe.x, pe.y, kind};
      if (!arcs_.insert(key).second) return;
    }
    Flush();
    CanvasDraws();
    DrawArc(p_.canvas, p_.a.origin, s, c, r.hankei, a0, a1, colour, p_.a.penWidth, r.PenStyle);
  }

  struct ArcKeyHash {
    std::size_t operator()(const std::array<std::int32_t, 9>& k) const {
      std::uint64_t h = 1469598103934665603ull;
      for (std::int32_t v : k) h = (h ^ static_cast<std::uint32_t>(v)) * 1099511628211ull;
      return static_cast<std::size_t>(h);
    }
  };

  Pass& p_;
  const TRenderIndex& index_;
  TRasterTarget* direct_ = nullptr;
  bool synced_ = false;
  bool penIndexValid_ = false, pixelIndexValid_ = false;
  std::uint8_t penIndex_ = 0, pixelIndex_ = 0;
  Colour pixelColour_ = 0;
  LineBatch batch_;
  std::vector<bool> visible_;
  bool thin_ = true;
  int margin_ = 1;
  bool pixelValid_ = false;
  bool copy_ = true;
  std::unordered_set<std::uint64_t> segments_;
  std::unordered_set<std::uint32_t> onePixel_;
  std::unordered_set<std::array<std::int32_t, 9>, ArcKeyHash> arcs_;
  TPixel lastPixel_;
  Colour lastColour_ = 0;
};

}  // namespace

std::unique_ptr<TRenderIndex> BuildRenderIndex(const TDrawingModel& m) { return BuildRenderIndex(m, TStopCheck()); }

std::unique_ptr<TRenderIndex> BuildRenderIndex(const TDrawingModel& m, const TStopCheck& stop) {
  auto index = std::make_unique<TRenderIndex>();
  // The stop is asked every so many records: a few milliseconds of work at most.
  std::size_t sinceCheck = 0;
  auto check = [&] {
    if (++sinceCheck < (1u << 16)) return;
    sinceCheck = 0;
    if (stop && stop()) throw TPostStopped{};
  };
  index->lines.reserve(m.LineAry.size());
  index->lineLayers.reserve(m.LineAry.size());
  for (const auto& r : m.LineAry) {
    check();
    index->lines.push_back(OutwardBox(SegmentBox(r.st, r.ed)));
    index->lineLayers.push_back(Skipped(r) ? TRenderIndex::kNeverDrawn : static_cast<std::int32_t>(r.layindex));
  }
  index->circles.reserve(m.CircleAry.size());
  for (const auto& r : m.CircleAry) check(), index->circles.push_back(OutwardBox(CircleBox(r.center, r.hankei)));
  index->arcs.reserve(m.ArcAry.size());
  for (const auto& r : m.ArcAry) check(), index->arcs.push_back(OutwardBox(ArcIndexBox(r)));
  index->texts.reserve(m.TextAry.size());
  for (const auto& r : m.TextAry) check(), index->texts.push_back(OutwardBox(TextIndexBox(r)));
  index->fills.reserve(m.FillAry.size());
  for (const auto& r : m.FillAry) {
    check();
    TBox b{r.pts.empty() ? TAcadPoint{} : r.pts.front(), r.pts.empty() ? TAcadPoint{} : r.pts.front()};
    for (const TAcadPoint& p : r.pts) BoxAdd(b, p);
    index->fills.push_back(OutwardBox(b));
  }
  return index;
}

int RenderDrawing(TDrawingModel& m, Canvas& canvas, const TRenderArgs& a, const TRenderIndex* index) {
  Pass p{m, canvas, a};
  p.selected = a.selectedLayer ? GetLayerIndex(m, *a.selectedLayer) : -1;
  if ((a.width == 0 && a.height == 0) || a.dispScale == 0) return 0;
  p.s = PixelSize(a.width, a.height, a.W, a.H, a.dispScale);
  p.R = ViewRect(a.centre, p.s, a.W, a.H);
  if (index) {
    IndexedPass(p, *index).Run();
  } else {
    PlainPass(p);
  }
  return p.count;
}

}  // namespace tesmar
