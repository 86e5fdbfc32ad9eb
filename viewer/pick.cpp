#include "viewer/pick.h"

#include <cmath>
#include <cstdio>

#include "base/strings.h"
#include "render/geometry.h"
#include "viewer/navigation.h"

namespace tesmar {
namespace {

double PlaneDistance(TAcadPoint p, TAcadPoint q) { return std::hypot(p.x - q.x, p.y - q.y); }

// The candidate with distance d is taken when none is yet or it is strictly nearer.
struct Nearest {
  double best = -100;
  bool Take(double d) {
    if (best < 0 || d < best) {
      best = d;
      return true;
    }
    return false;
  }
};

std::u16string Fixed3(double v) { return ReadableNumber(v, 3); }

// Distance from p to the segment a-b.
double SegmentDistance(TAcadPoint p, TAcadPoint a, TAcadPoint b) {
  const double dx = b.x - a.x, dy = b.y - a.y, len2 = dx * dx + dy * dy;
  double t = len2 > 0 ? ((p.x - a.x) * dx + (p.y - a.y) * dy) / len2 : 0;
  t = t < 0 ? 0 : (t > 1 ? 1 : t);
  return std::hypot(p.x - (a.x + t * dx), p.y - (a.y + t * dy));
}

// Calls edge(a, b) for each edge of each ring of f, the last point joined to the first.
template <class Edge>
void ForEachEdge(const TFillBlk& f, Edge&& edge) {
  std::size_t start = 0;
  for (const std::uint32_t n : f.counts) {
    if (start + n > f.pts.size()) break;
    for (std::uint32_t k = 0; k < n; ++k) edge(f.pts[start + k], f.pts[start + (k + 1) % n]);
    start += n;
  }
}

// Whether q lies inside ring [first, first + n) of pts (crossings of a ray to the right).
bool InsideRing(const std::vector<TAcadPoint>& pts, std::size_t first, std::uint32_t n, TAcadPoint q) {
  bool inside = false;
  for (std::uint32_t k = 0, j = n - 1; k < n; j = k++) {
    const TAcadPoint a = pts[first + k], b = pts[first + j];
    if ((a.y > q.y) != (b.y > q.y) && q.x < (b.x - a.x) * (q.y - a.y) / (b.y - a.y) + a.x) inside = !inside;
  }
  return inside;
}

std::u16string Tagged(std::u16string_view layer, std::u16string_view what) {
  return u"[" + std::u16string(layer) + u"] " + std::u16string(what);
}

}  // namespace

TAcadPoint TextReferencePoint(const TTextBlk& t) { return t.code72 != 0 || t.code73 != 0 ? t.pt11 : t.pt10; }

TPick PickNearest(const TDrawingModel& m, TAcadPoint p) {
  Nearest n;
  std::int32_t line = -1, circle = -1, arc = -1, text = -1;
  for (std::size_t i = 0; i < m.LineAry.size(); ++i) {
    const TAcadLineBlk& l = m.LineAry[i];
    if (!LayerVisibleAt(m, l.layindex)) continue;
    const double a = AcadPointAngle(l.st, l.ed) + kHalfPi;
    const auto f = SegmentIntersection(AcadPointPolar(p, a, -1000000), AcadPointPolar(p, a, 1000000), l.st, l.ed, true);
    if (f && n.Take(PlaneDistance(p, *f))) line = std::int32_t(i);
  }
  auto curve = [&](TAcadPoint c, double r) { return AcadPointDistance(p, AcadPointPolar(c, AcadPointAngle(c, p), r)); };
  for (std::size_t i = 0; i < m.CircleAry.size(); ++i) {
    const TCircleBlk& c = m.CircleAry[i];
    if (LayerVisibleAt(m, c.layindex) && n.Take(curve(c.center, c.hankei))) circle = std::int32_t(i);
  }
  for (std::size_t i = 0; i < m.ArcAry.size(); ++i) {
    const TArcBlk& c = m.ArcAry[i];
    if (LayerVisibleAt(m, c.layindex) && n.Take(curve(c.center, c.hankei))) arc = std::int32_t(i);
  }
  for (std::size_t i = 0; i < m.TextAry.size(); ++i) {
    const TTextBlk& t = m.TextAry[i];
    if (LayerVisibleAt(m, t.layindex) && n.Take(PlaneDistance(p, TextReferencePoint(t)))) text = std::int32_t(i);
  }
  std::int32_t fill = -1;
  for (std::size_t i = 0; i < m.FillAry.size(); ++i) {
    const TFillBlk& f = m.FillAry[i];
    if (!LayerVisibleAt(m, f.layindex)) continue;
    double d = -1;
    ForEachEdge(f, [&](TAcadPoint a, TAcadPoint b) {
      const double e = SegmentDistance(p, a, b);
      if (d < 0 || e < d) d = e;
    });
    if (d >= 0 && n.Take(d)) fill = std::int32_t(i);
  }
  // The kind that took a candidate last holds the nearest one.
  if (fill >= 0) return {TPickKind::Fill, fill};
  if (text >= 0) return {TPickKind::Text, text};
  if (arc >= 0) return {TPickKind::Arc, arc};
  if (circle >= 0) return {TPickKind::Circle, circle};
  if (line >= 0) return {TPickKind::Line, line};
  return {};
}

std::optional<double> MutualDistance(const TAcadLineBlk& line, const TAcadLineBlk& previous) {
  const TAcadPoint q = AcadPointPolar(line.st, AcadPointAngle(line.st, line.ed) + kHalfPi, 1000);
  const auto f = SegmentIntersection(line.st, q, previous.st, previous.ed, false);
  if (!f) return std::nullopt;
  const double d = PlaneDistance(*f, line.st);
  if (!(d < 1e12)) return std::nullopt;
  return d;
}

std::u16string CircleRadiusStatus(std::u16string_view layer, double radius) {
  return Tagged(layer, u"円半径 = " + Fixed3(radius));
}

std::u16string ArcRadiusStatus(std::u16string_view layer, double radius) {
  return Tagged(layer, u"円弧半径 = " + Fixed3(radius));
}

std::u16string TextHeightStatus(std::u16string_view layer, double height, std::u16string_view text) {
  return Tagged(layer, u"文字高さ = " + Fixed3(height) + u" \"" + std::u16string(text) + u"\"");
}

double FillArea(const TFillBlk& f) {
  double area = 0;
  std::size_t start = 0;
  for (const std::uint32_t n : f.counts) {
    if (n < 3 || start + n > f.pts.size()) break;
    double twice = 0;
    for (std::uint32_t k = 0; k < n; ++k) {
      const TAcadPoint a = f.pts[start + k], b = f.pts[start + (k + 1) % n];
      twice += a.x * b.y - b.x * a.y;
    }
    // A ring inside an odd number of the others is a hole.
    int around = 0;
    std::size_t other = 0;
    for (const std::uint32_t m : f.counts) {
      if (other + m > f.pts.size()) break;
      if (other != start && m >= 3 && InsideRing(f.pts, other, m, f.pts[start])) ++around;
      other += m;
    }
    area += (around % 2 ? -0.5 : 0.5) * std::fabs(twice);
    start += n;
  }
  return std::fabs(area);
}

std::u16string FillAreaStatus(std::u16string_view layer, double area) {
  return Tagged(layer, u"面積 = " + Fixed3(area));
}

std::u16string LineLengthStatus(std::u16string_view layer, double length, std::optional<double> mutual) {
  std::u16string s = Tagged(layer, u"長さ = " + Fixed3(length));
  if (mutual) s += u" 相互距離 = " + Fixed3(*mutual);
  return s;
}

}  // namespace tesmar
