#pragma once
// Plane and space geometry on TAcadPoint values. Angles are radians; the plane operations read
// x and y only and give a returned point the z of their first (base) point. Pure functions.
#include <optional>

#include "dxf/model.h"

namespace tesmar {

inline constexpr double kHalfPi = 1.5707963267948966;
inline constexpr double kPi = 3.141592653589793;
inline constexpr double kThreeHalfPi = 4.71238898038469;
inline constexpr double kTwoPi = 6.283185307179586;
inline constexpr double kDegToRad = 0.017453292519943295;
inline constexpr double kRadToDeg = 57.29577951308232;

TAcadPoint AcadPointAdd(TAcadPoint a, TAcadPoint b);
TAcadPoint AcadPointSub(TAcadPoint a, TAcadPoint b);
TAcadPoint AcadPointSubXY(TAcadPoint a, TAcadPoint b);  // keeps a.z
TAcadPoint AcadPointMul(TAcadPoint a, TAcadPoint b);    // component-wise
// Turns p by t radians clockwise about the origin (z unchanged): to turn by a drawing angle r
// in degrees counter-clockwise, pass t = -r * kDegToRad.
TAcadPoint AcadPointRotate(TAcadPoint p, double t);

// Lower-left (smallest x and y) and upper-right (largest x and y) corner; z unused.
struct TBox {
  TAcadPoint min;
  TAcadPoint max;
};

// The point d away from base in direction a. At exactly 0, pi/2, pi and 3pi/2 only one
// coordinate moves, so offsets along the axes carry no rounding error.
TAcadPoint AcadPointPolar(TAcadPoint base, double a, double d);

double AcadPointDistance(TAcadPoint p, TAcadPoint q);

// Direction from p to q in [0, 2pi). Differences below 1e-5 count as zero, so coincident
// points give 3pi/2.
double AcadPointAngle(TAcadPoint p, TAcadPoint q);

// Turns p counter-clockwise about the origin by a; a of exactly 0 returns p unchanged.
TAcadPoint AcadPointRotateCcw(TAcadPoint p, double a);

// Intersection of the lines p1-p2 and q1-q2; none when they are parallel (|den| <= 1e-12).
// With strict set the crossing must lie on both segments, not at their first points.
std::optional<TAcadPoint> SegmentIntersection(TAcadPoint p1, TAcadPoint p2, TAcadPoint q1, TAcadPoint q2, bool strict);

// The arc of a polyline segment p1-p2 with a non-zero bulge, running counter-clockwise from
// `start` to `end` (both in [0, 2pi)).
struct TBulgeArc {
  TAcadPoint center;
  double radius = 0;
  double start = 0;
  double end = 0;
};
TBulgeArc BulgeToArc(TAcadPoint p1, TAcadPoint p2, double bulge);

TBox SegmentBox(TAcadPoint p, TAcadPoint q);
TBox CircleBox(TAcadPoint c, double r);
// Box of the counter-clockwise arc from a0 to a1; a1 <= a0 is an arc through angle 0.
// The angles are expected in [0, 2pi].
TBox ArcBox(TAcadPoint c, double r, double a0, double a1);
// Widens b to hold p.
void BoxAdd(TBox& b, TAcadPoint p);
// Widens b to hold other.
void BoxUnion(TBox& b, const TBox& other);

TAcadPoint AcadPointNormalize(TAcadPoint v);
TAcadPoint AcadPointCross(TAcadPoint a, TAcadPoint b);

// Object coordinates with extrusion direction n (used as given) to world coordinates, by the
// arbitrary axis algorithm of the DXF format.
TAcadPoint OcsToWcs(TAcadPoint p, TAcadPoint n);

TAcadPoint FrameToWorld(TAcadPoint p, TAcadPoint origin, TAcadPoint X, TAcadPoint Y, TAcadPoint Z);

bool AcadPointSame(TAcadPoint p, TAcadPoint q, double tol);

// True when the extrusion direction is (0, 0, 1) within 1e-5.
bool IsDefaultExtrusion(TAcadPoint n);

}  // namespace tesmar
