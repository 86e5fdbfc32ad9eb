#pragma once
// Hatch boundaries for the tests of hatches and fills.
#include "dxf/model.h"

namespace tesmar::test {

// The square [lo, hi] x [lo, hi] as a polyline path, counter-clockwise from (lo, lo).
inline THatchPath SquarePath(double lo, double hi) {
  THatchPath path;
  path.flags = 2;
  for (TAcadPoint p : {TAcadPoint{lo, lo, 0}, {hi, lo, 0}, {hi, hi, 0}, {lo, hi, 0}}) path.edges.emplace_back().p1 = p;
  return path;
}

}  // namespace tesmar::test
