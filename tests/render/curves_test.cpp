#include "render/curves.h"

#include <gtest/gtest.h>

#include <cmath>

#include "render/geometry.h"
#include "tests/support/point_expect.h"

namespace tesmar {
namespace {

using test::ExpectNear;

// The angle in degrees by which the chord b->c turns from a->b.
double TurnAt(TAcadPoint a, TAcadPoint b, TAcadPoint c) {
  const double t0 = std::atan2(b.y - a.y, b.x - a.x), t1 = std::atan2(c.y - b.y, c.x - b.x);
  return std::fabs(std::remainder(t1 - t0, kTwoPi)) * kRadToDeg;
}

TEST(Curves, QuadraticSplineLiesOnItsParabola) {
  // Control points (0,0), (1,2), (2,0) with clamped knots: x = 2t, y = 4t(1-t), so y = 2x - x^2.
  const auto pts = NurbsPolyline(2, {0, 0, 0, 1, 1, 1}, {{0, 0, 0}, {1, 2, 0}, {2, 0, 0}}, {}, 10);
  ASSERT_GE(pts.size(), 8u);
  ExpectNear(pts.front(), {0, 0, 0});
  ExpectNear(pts.back(), {2, 0, 0});
  bool apex = false;
  for (const TAcadPoint& p : pts) {
    EXPECT_NEAR(p.y, 2 * p.x - p.x * p.x, 1e-9);
    apex = apex || (std::fabs(p.x - 1) < 1e-12 && std::fabs(p.y - 1) < 1e-12);
  }
  EXPECT_TRUE(apex) << "the middle of the parameter range is a sample";
  for (std::size_t i = 1; i + 1 < pts.size(); ++i) EXPECT_LE(TurnAt(pts[i - 1], pts[i], pts[i + 1]), 10.0 + 1e-9);
}

TEST(Curves, RationalSplineDrawsAnExactCircle) {
  const double w = std::sqrt(0.5);
  const std::vector<TAcadPoint> square{{5, 0, 0}, {5, 5, 0}, {0, 5, 0}, {-5, 5, 0}, {-5, 0, 0},
                                       {-5, -5, 0}, {0, -5, 0}, {5, -5, 0}, {5, 0, 0}};
  const auto pts = NurbsPolyline(2, {0, 0, 0, 0.25, 0.25, 0.5, 0.5, 0.75, 0.75, 1, 1, 1}, square,
                                 {1, w, 1, w, 1, w, 1, w, 1}, 10);
  ASSERT_GE(pts.size(), 37u) << "a full turn in chords of at most 10 degrees";
  for (const TAcadPoint& p : pts) EXPECT_NEAR(std::hypot(p.x, p.y), 5, 1e-9);
  ExpectNear(pts.back(), pts.front());
  // The same control points without their weights are not a circle.
  const auto plain = NurbsPolyline(2, {0, 0, 0, 0.25, 0.25, 0.5, 0.5, 0.75, 0.75, 1, 1, 1}, square, {}, 10);
  double worst = 0;
  for (const TAcadPoint& p : plain) worst = std::max(worst, std::fabs(std::hypot(p.x, p.y) - 5));
  EXPECT_GT(worst, 0.1);
}

TEST(Curves, BrokenKnotsFallBackToUniformOnes) {
  // Too few knots, or falling knots: the curve still runs from the first to the last point.
  for (const std::vector<double>& knots : {std::vector<double>{}, std::vector<double>{0, 1, 0.5, 0, 1, 1, 1}}) {
    const auto pts = NurbsPolyline(3, knots, {{0, 0, 0}, {1, 1, 0}, {2, -1, 0}, {3, 0, 0}}, {}, 10);
    ASSERT_GE(pts.size(), 2u);
    ExpectNear(pts.front(), {0, 0, 0});
    ExpectNear(pts.back(), {3, 0, 0});
  }
  EXPECT_EQ(NurbsPolyline(3, {}, {{1, 2, 0}}, {}, 10).size(), 1u);
}

TEST(Curves, FitPointsAreOnTheCurve) {
  TSplineBlk s;
  s.code11Ary = {{0, 0, 0}, {2, 3, 0}, {5, 1, 0}, {7, 4, 0}};
  const auto pts = SplinePolyline(s, 10);
  for (const TAcadPoint& fit : s.code11Ary) {
    double nearest = 1e9;
    for (const TAcadPoint& p : pts) nearest = std::min(nearest, AcadPointDistance(p, fit));
    EXPECT_LT(nearest, 1e-9);
  }
  for (std::size_t i = 1; i + 1 < pts.size(); ++i) EXPECT_LE(TurnAt(pts[i - 1], pts[i], pts[i + 1]), 10.0 + 1e-9);
  // Control points win over fit points.
  s.code10Ary = {{0, 0, 0}, {10, 0, 0}};
  s.code71 = 1;
  const auto line = SplinePolyline(s, 10);
  ASSERT_EQ(line.size(), 2u);
  ExpectNear(line.back(), {10, 0, 0});
}

}  // namespace
}  // namespace tesmar
