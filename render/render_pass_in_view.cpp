// The in-view tests of the render pass: whether a record touches the view rectangle.
#include <algorithm>
#include <array>
#include <cmath>
#include <initializer_list>

#include "render/extents.h"
#include "render/render_pass.h"

namespace tesmar {

bool FillInView(const TFillBlk& f, const TBox& r) {
  if (f.pts.empty()) return false;
  TBox b{f.pts.front(), f.pts.front()};
  for (const TAcadPoint& p : f.pts) BoxAdd(b, p);
  return !(b.max.x < r.min.x || b.min.x > r.max.x || b.max.y < r.min.y || b.min.y > r.max.y);
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

}  // namespace tesmar
