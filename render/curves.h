#pragma once
// Free-form curves as polylines: NURBS curves from their knots, control points and weights, and
// smooth curves through fit points. Points are taken close enough that two successive chords
// turn by no more than the given angle, as the arcs of a drawing are drawn.
#include <functional>
#include <vector>

#include "dxf/model.h"

namespace tesmar {

// Points along the curve f over the rising parameters `breaks`: at least `pieces` equal parts
// between each two, each halved (to a depth of 12) while the curve turns by more than
// `stepDegrees` across it, and then wherever two chords still meet at more than the step.
std::vector<TAcadPoint> SampleCurve(const std::function<TAcadPoint(double)>& f, const std::vector<double>& breaks,
                                    int pieces, double stepDegrees);

// The highest spline degree CAD programs write.
inline constexpr int kHighestSplineDegree = 11;

// A NURBS curve of the given degree (one above kHighestSplineDegree gives the control points). Knots that do not number control points + degree + 1 (or
// do not rise) are replaced by the uniform clamped vector; weights that do not number the
// control points count as all 1. Fewer than two control points give them as they are.
std::vector<TAcadPoint> NurbsPolyline(int degree, std::vector<double> knots, const std::vector<TAcadPoint>& control,
                                      const std::vector<double>& weights, double stepDegrees);

// A smooth curve through the points in order (a cubic with chord-length parameters and free
// ends); two points give their segment.
std::vector<TAcadPoint> FitPolyline(const std::vector<TAcadPoint>& fit, double stepDegrees);

// The polyline of a SPLINE record: its control points when it has at least two, else its fit
// points.
std::vector<TAcadPoint> SplinePolyline(const TSplineBlk& s, double stepDegrees);

}  // namespace tesmar
