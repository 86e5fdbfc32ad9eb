#include "render/geometry.h"

#include <algorithm>
#include <cmath>

namespace tesmar {

TAcadPoint AcadPointAdd(TAcadPoint a, TAcadPoint b) { return {a.x + b.x, a.y + b.y, a.z + b.z}; }
TAcadPoint AcadPointSub(TAcadPoint a, TAcadPoint b) { return {a.x - b.x, a.y - b.y, a.z - b.z}; }
TAcadPoint AcadPointSubXY(TAcadPoint a, TAcadPoint b) { return {a.x - b.x, a.y - b.y, a.z}; }
TAcadPoint AcadPointMul(TAcadPoint a, TAcadPoint b) { return {a.x * b.x, a.y * b.y, a.z * b.z}; }

TAcadPoint AcadPointRotate(TAcadPoint p, double t) {
  const double c = std::cos(t), s = std::sin(t);
  return {p.x * c + p.y * s, -p.x * s + p.y * c, p.z};
}

TAcadPoint AcadPointPolar(TAcadPoint base, double a, double d) {
  TAcadPoint r = base;
  if (a == 0) {
    r.x = base.x + d;
  } else if (a == kHalfPi) {
    r.y = base.y + d;
  } else if (a == kPi) {
    r.x = base.x - d;
  } else if (a == kThreeHalfPi) {
    r.y = base.y - d;
  } else {
    r.x = base.x + d * std::cos(a);
    r.y = base.y + d * std::sin(a);
  }
  return r;
}

double AcadPointDistance(TAcadPoint p, TAcadPoint q) {
  const double dx = p.x - q.x;
  const double dy = p.y - q.y;
  return std::sqrt(dx * dx + dy * dy);
}

namespace {

// Moves the first-quadrant angle f into the quadrant of the direction (dx, dy).
double IntoQuadrant(double f, double dx, double dy) {
  if (dx < 0 && dy >= 0) return kPi - f;
  if (dx >= 0 && dy < 0) return kTwoPi - f;
  if (dx < 0 && dy < 0) return kPi + f;
  return f;
}

}  // namespace

double AcadPointAngle(TAcadPoint p, TAcadPoint q) {
  const double dx = q.x - p.x;
  const double dy = q.y - p.y;
  if (std::fabs(dx) < 1e-5) return q.y > p.y ? kHalfPi : kThreeHalfPi;
  if (std::fabs(dy) < 1e-5) return q.x > p.x ? 0.0 : kPi;
  return IntoQuadrant(std::fabs(std::atan(dy / dx)), dx, dy);
}

TAcadPoint AcadPointRotateCcw(TAcadPoint p, double a) {
  if (a == 0) return p;
  const double r = std::sqrt(p.x * p.x + p.y * p.y);
  const double phi = IntoQuadrant(p.x == 0 ? kHalfPi : std::atan(std::fabs(p.y / p.x)), p.x, p.y);
  return {r * std::cos(phi + a), r * std::sin(phi + a), p.z};
}

std::optional<TAcadPoint> SegmentIntersection(TAcadPoint p1, TAcadPoint p2, TAcadPoint q1, TAcadPoint q2, bool strict) {
  const double d1x = p2.x - p1.x, d1y = p2.y - p1.y;
  const double d2x = q2.x - q1.x, d2y = q2.y - q1.y;
  const double den = d2x * d1y - d1x * d2y;
  if (std::fabs(den) <= 1e-12) return std::nullopt;
  const double t = (d2x * (q1.y - p1.y) - d2y * (q1.x - p1.x)) / den;
  const double u = (d1x * (q1.y - p1.y) - d1y * (q1.x - p1.x)) / den;
  if (strict && !(t >= 1e-12 && t <= 1 && u >= 1e-12 && u <= 1)) return std::nullopt;
  return TAcadPoint{p1.x + t * d1x, p1.y + t * d1y, p1.z};
}

TBulgeArc BulgeToArc(TAcadPoint p1, TAcadPoint p2, double bulge) {
  const double c = 2 * std::atan(bulge);
  const double h = AcadPointDistance(p1, p2) / (2 * std::sin(c));
  TBulgeArc arc;
  arc.radius = std::fabs(h);
  arc.center = AcadPointPolar(p1, AcadPointAngle(p1, p2) + kHalfPi - c, h);
  const double a1 = AcadPointAngle(arc.center, p1);
  const double a2 = AcadPointAngle(arc.center, p2);
  if (bulge > 0) {
    arc.start = a1, arc.end = a2;
  } else {
    arc.start = a2, arc.end = a1;
  }
  return arc;
}

TBox SegmentBox(TAcadPoint p, TAcadPoint q) {
  return {{std::min(p.x, q.x), std::min(p.y, q.y), 0}, {std::max(p.x, q.x), std::max(p.y, q.y), 0}};
}

TBox CircleBox(TAcadPoint c, double r) { return {{c.x - r, c.y - r, 0}, {c.x + r, c.y + r, 0}}; }

TBox ArcBox(TAcadPoint c, double r, double a0, double a1) {
  TBox b = SegmentBox(AcadPointPolar(c, a0, r), AcadPointPolar(c, a1, r));
  if (a1 > a0) {
    if (a0 == 0 || a1 == kTwoPi) b.max.x = c.x + r;
    if (a0 <= kHalfPi && kHalfPi <= a1) b.max.y = c.y + r;
    if (a0 <= kPi && kPi <= a1) b.min.x = c.x - r;
    if (a0 <= kThreeHalfPi && kThreeHalfPi <= a1) b.min.y = c.y - r;
  } else {
    b.max.x = c.x + r;
    if (a0 <= kHalfPi || a1 >= kHalfPi) b.max.y = c.y + r;
    if (a0 <= kPi || a1 >= kPi) b.min.x = c.x - r;
    if (a0 <= kThreeHalfPi || a1 >= kThreeHalfPi) b.min.y = c.y - r;
  }
  return b;
}

void BoxAdd(TBox& b, TAcadPoint p) {
  b.min.x = std::min(b.min.x, p.x);
  b.min.y = std::min(b.min.y, p.y);
  b.max.x = std::max(b.max.x, p.x);
  b.max.y = std::max(b.max.y, p.y);
}

void BoxUnion(TBox& b, const TBox& other) {
  BoxAdd(b, other.min);
  BoxAdd(b, other.max);
}

TAcadPoint AcadPointNormalize(TAcadPoint v) {
  const double len = std::sqrt(v.x * v.x + v.y * v.y + v.z * v.z);
  if (len > 0) return {v.x / len, v.y / len, v.z / len};
  return v;
}

TAcadPoint AcadPointCross(TAcadPoint a, TAcadPoint b) {
  return {a.y * b.z - a.z * b.y, a.z * b.x - a.x * b.z, a.x * b.y - a.y * b.x};
}

TAcadPoint OcsToWcs(TAcadPoint p, TAcadPoint n) {
  const double limit = 1.0 / 64;
  const TAcadPoint ax = (std::fabs(n.x) < limit && std::fabs(n.y) < limit)
                            ? AcadPointNormalize(AcadPointCross({0, 1, 0}, n))
                            : AcadPointNormalize(AcadPointCross({0, 0, 1}, n));
  const TAcadPoint ay = AcadPointNormalize(AcadPointCross(n, ax));
  return FrameToWorld(p, {0, 0, 0}, ax, ay, n);
}

TAcadPoint FrameToWorld(TAcadPoint p, TAcadPoint origin, TAcadPoint X, TAcadPoint Y, TAcadPoint Z) {
  return {origin.x + X.x * p.x + Y.x * p.y + Z.x * p.z,
          origin.y + X.y * p.x + Y.y * p.y + Z.y * p.z,
          origin.z + X.z * p.x + Y.z * p.y + Z.z * p.z};
}

bool AcadPointSame(TAcadPoint p, TAcadPoint q, double tol) {
  return std::fabs(p.x - q.x) < tol && std::fabs(p.y - q.y) < tol && std::fabs(p.z - q.z) < tol;
}

bool IsDefaultExtrusion(TAcadPoint n) { return AcadPointSame(n, kDefaultExtrusion, 1e-5); }

}  // namespace tesmar
