#include "render/geometry.h"

#include <cmath>
#include <cstring>

#include <gtest/gtest.h>

#include "tests/support/point_expect.h"

namespace tesmar {
namespace {

using test::ExpectNear;

bool BitEqual(TAcadPoint a, TAcadPoint b) { return std::memcmp(&a, &b, sizeof a) == 0; }

TEST(Geometry, PointArithmetic) {
  const TAcadPoint a = MakeAcadPoint(1, 2, 3), b = MakeAcadPoint(4, 6, 8);
  EXPECT_EQ(AcadPointAdd(a, b), MakeAcadPoint(5, 8, 11));
  EXPECT_EQ(AcadPointSub(b, a), MakeAcadPoint(3, 4, 5));
  EXPECT_EQ(AcadPointSubXY(b, a), MakeAcadPoint(3, 4, 8)) << "keeps the first point's z";
  EXPECT_EQ(AcadPointMul(a, b), MakeAcadPoint(4, 12, 24));

  const TAcadPoint q = AcadPointRotate(MakeAcadPoint(1, 0, 5), -kHalfPi);  // a quarter turn ccw
  EXPECT_NEAR(q.x, 0, 1e-15);
  EXPECT_NEAR(q.y, 1, 1e-15);
  EXPECT_EQ(q.z, 5);
  const TAcadPoint c = AcadPointRotate(MakeAcadPoint(0, 1, 0), kHalfPi);  // positive: clockwise
  EXPECT_NEAR(c.x, 1, 1e-15);
  EXPECT_NEAR(c.y, 0, 1e-15);
}

TEST(Geometry, AngleExactCasesAndQuadrants) {
  struct Case {
    TAcadPoint p, q;
    double want;
  };
  const Case cases[] = {
      {{0, 0, 0}, {0, 0, 0}, kThreeHalfPi},     // coincident
      {{0, 0, 0}, {1, 0.000009, 0}, 0},         // dy below 1e-5
      {{0, 0, 0}, {-1, 0.000009, 0}, kPi},
      {{0, 0, 0}, {0.000009, 3, 0}, kHalfPi},   // dx below 1e-5
      {{0, 0, 0}, {0.000009, -3, 0}, kThreeHalfPi},
      {{0, 0, 0}, {1, 1, 0}, kPi / 4},
      {{0, 0, 0}, {-1, 1, 0}, 3 * kPi / 4},
      {{0, 0, 0}, {-1, -1, 0}, 5 * kPi / 4},
      {{0, 0, 0}, {1, -1, 0}, 7 * kPi / 4},
      {{5, 5, 9}, {6, 6, -9}, kPi / 4},         // z plays no part
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << c.q.x << "," << c.q.y);
    EXPECT_DOUBLE_EQ(AcadPointAngle(c.p, c.q), c.want);
  }
  EXPECT_EQ(AcadPointAngle({0, 0, 0}, {0, 0, 0}), kThreeHalfPi);  // exactly
}

TEST(Geometry, PolarMovesOneCoordinateExactlyOnTheAxes) {
  const TAcadPoint p{0.1, 0.7, 3};
  EXPECT_TRUE(BitEqual(AcadPointPolar(p, kHalfPi, 2), {0.1, 0.7 + 2, 3}));
  EXPECT_TRUE(BitEqual(AcadPointPolar(p, 0, -3), {0.1 - 3, 0.7, 3}));
  EXPECT_TRUE(BitEqual(AcadPointPolar(p, kPi, 2), {0.1 - 2, 0.7, 3}));
  EXPECT_TRUE(BitEqual(AcadPointPolar(p, kThreeHalfPi, 2), {0.1, 0.7 - 2, 3}));
  ExpectNear(AcadPointPolar(p, kPi / 4, std::sqrt(2.0)), {1.1, 1.7, 3});
  EXPECT_DOUBLE_EQ(AcadPointDistance({0, 0, 0}, {3, 4, 100}), 5);
}

TEST(Geometry, RotateCcw) {
  ExpectNear(AcadPointRotateCcw({1, 0, 5}, kHalfPi), {0, 1, 5});
  ExpectNear(AcadPointRotateCcw({0, -2, 0}, kHalfPi), {2, 0, 0});
  ExpectNear(AcadPointRotateCcw({-1, -1, 0}, kPi), {1, 1, 0});
  ExpectNear(AcadPointRotateCcw({-1, 1, 0}, -kHalfPi), {1, 1, 0});
  const TAcadPoint p{0.1, -0.3, 7};
  EXPECT_TRUE(BitEqual(AcadPointRotateCcw(p, 0), p));
  // The model's own rotation turns the other way.
  ExpectNear(AcadPointRotate({1, 0, 5}, -kHalfPi), AcadPointRotateCcw({1, 0, 5}, kHalfPi));
}

TEST(Geometry, SegmentIntersection) {
  auto hit = SegmentIntersection({0, 0, 4}, {2, 0, 0}, {1, -1, 0}, {1, 1, 0}, true);
  ASSERT_TRUE(hit);
  ExpectNear(*hit, {1, 0, 4});
  // Meeting at the first point of either segment does not count; at the last points it does.
  EXPECT_FALSE(SegmentIntersection({0, 0, 0}, {2, 0, 0}, {0, -1, 0}, {0, 1, 0}, true));
  EXPECT_FALSE(SegmentIntersection({0, 0, 0}, {2, 0, 0}, {1, 0, 0}, {1, 1, 0}, true));
  hit = SegmentIntersection({0, 0, 0}, {2, 0, 0}, {2, -2, 0}, {2, 0, 0}, true);
  ASSERT_TRUE(hit);
  ExpectNear(*hit, {2, 0, 0});
  EXPECT_FALSE(SegmentIntersection({0, 0, 0}, {2, 0, 0}, {0, 1, 0}, {2, 1, 0}, false));  // parallel
  EXPECT_FALSE(SegmentIntersection({0, 0, 0}, {0, 0, 0}, {0, 1, 0}, {2, 1, 0}, false));  // degenerate
  // Without strict the lines meet beyond the segments.
  hit = SegmentIntersection({0, 0, 0}, {1, 0, 0}, {5, 1, 0}, {5, 2, 0}, false);
  ASSERT_TRUE(hit);
  ExpectNear(*hit, {5, 0, 0});
  EXPECT_FALSE(SegmentIntersection({0, 0, 0}, {1, 0, 0}, {5, 1, 0}, {5, 2, 0}, true));
}

TEST(Geometry, BulgeToArcBothSigns) {
  const TBulgeArc below = BulgeToArc({0, 0, 0}, {2, 0, 0}, 1);
  ExpectNear(below.center, {1, 0, 0});
  EXPECT_DOUBLE_EQ(below.radius, 1);
  EXPECT_DOUBLE_EQ(below.start, kPi);
  EXPECT_DOUBLE_EQ(below.end, 0);
  const TBulgeArc above = BulgeToArc({0, 0, 0}, {2, 0, 0}, -1);
  ExpectNear(above.center, {1, 0, 0});
  EXPECT_DOUBLE_EQ(above.radius, 1);
  EXPECT_DOUBLE_EQ(above.start, 0);
  EXPECT_DOUBLE_EQ(above.end, kPi);
  // A quarter circle (bulge tan(22.5 degrees)) from (1, 0) to (0, 1) about the origin.
  const TBulgeArc quarter = BulgeToArc({1, 0, 0}, {0, 1, 0}, std::tan(kPi / 8));
  ExpectNear(quarter.center, {0, 0, 0});
  EXPECT_NEAR(quarter.radius, 1, 1e-12);
  EXPECT_NEAR(quarter.start, 0, 1e-12);
  EXPECT_NEAR(quarter.end, kHalfPi, 1e-12);
}

TEST(Geometry, Boxes) {
  struct Case {
    double a0, a1;
    TBox want;
  };
  const Case cases[] = {
      {kThreeHalfPi, kHalfPi, {{0, -1, 0}, {1, 1, 0}}},  // through 0
      {0, kHalfPi, {{0, 0, 0}, {1, 1, 0}}},
      {kHalfPi, kThreeHalfPi, {{-1, -1, 0}, {0, 1, 0}}},
      {kPi / 4, 3 * kPi / 4, {{-std::sqrt(0.5), std::sqrt(0.5), 0}, {std::sqrt(0.5), 1, 0}}},
      {kPi, kTwoPi, {{-1, -1, 0}, {1, 0, 0}}},
      {kPi / 2, kPi / 2, {{-1, -1, 0}, {1, 1, 0}}},  // equal angles: the whole circle
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << c.a0 << " to " << c.a1);
    const TBox b = ArcBox({0, 0, 0}, 1, c.a0, c.a1);
    ExpectNear(b.min, c.want.min);
    ExpectNear(b.max, c.want.max);
  }
  const TBox s = SegmentBox({3, -1, 0}, {-2, 4, 0});
  ExpectNear(s.min, {-2, -1, 0});
  ExpectNear(s.max, {3, 4, 0});
  const TBox c = CircleBox({1, 2, 0}, 3);
  ExpectNear(c.min, {-2, -1, 0});
  ExpectNear(c.max, {4, 5, 0});
}

TEST(Geometry, OcsToWcs) {
  ExpectNear(OcsToWcs({1, 2, 0}, {0, 0, -1}), {-1, 2, 0});
  ExpectNear(OcsToWcs({1, 2, 3}, {0, 0, 1}), {1, 2, 3});
  // Extrusion along x: the object's x axis is world y, its y axis world z.
  ExpectNear(OcsToWcs({1, 2, 3}, {1, 0, 0}), {3, 1, 2});
  ExpectNear(AcadPointCross({1, 0, 0}, {0, 1, 0}), {0, 0, 1});
  ExpectNear(AcadPointNormalize({0, 3, 4}), {0, 0.6, 0.8});
  ExpectNear(AcadPointNormalize({0, 0, 0}), {0, 0, 0});
  ExpectNear(FrameToWorld({1, 2, 3}, {10, 20, 30}, {0, 1, 0}, {-1, 0, 0}, {0, 0, 2}), {8, 21, 36});
  EXPECT_TRUE(AcadPointSame({0, 0, 1}, {0.000009, 0, 1}, 1e-5));
  EXPECT_FALSE(AcadPointSame({0, 0, 1}, {0, 0, 1.00001}, 1e-5));
}

}  // namespace
}  // namespace tesmar
