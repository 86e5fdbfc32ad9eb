// The render pass's primitives and the clipping that keeps them within the guard: segments,
// arcs (huge ones as chords near the image), fills cut to the image, infinite lines cut to the
// view.
#include <algorithm>
#include <cmath>
#include <utility>
#include <vector>

#include "render/render_pass.h"
#include "render/render_pass_parts.h"

namespace tesmar {

using render_pass::InGuard;
using render_pass::kHundredthDegree;
using render_pass::Pixel;
using render_pass::SegmentPixels;
using render_pass::SetPen;

namespace {

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

}  // namespace tesmar
