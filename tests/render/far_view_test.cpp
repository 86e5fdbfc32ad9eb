// The in-view tests give the same answers near the origin and near 1e300, where the products
// of a crossing test overflow.
#include <gtest/gtest.h>

#include "render/render_pass.h"

namespace tesmar {
namespace {

TEST(InView, FarCoordinatesCrossAsNearOnesDo) {
  for (double at : {0.0, 1e300}) {
    SCOPED_TRACE(at);
    const double u = at == 0 ? 1 : 1e299;  // the unit of the picture
    auto P = [&](double x, double y) { return TAcadPoint{at + x * u, at + y * u, 0}; };
    const TBox view{P(-1, -1), P(1, 1)};
    TAcadLineBlk through, beside;
    through.st = P(-5, -4), through.ed = P(5, 4);  // both ends outside, crossing the view
    beside.st = P(-5, 3), beside.ed = P(5, 4);
    EXPECT_TRUE(LineInView(through, view));
    EXPECT_FALSE(LineInView(beside, view));
    EXPECT_TRUE(BoxPathsCross(view, TBox{P(-3, -0.5), P(3, 0.5)}));
    EXPECT_FALSE(BoxPathsCross(view, TBox{P(2, 2), P(3, 3)}));
    TCircleBlk ring;
    ring.center = P(0, 0), ring.hankei = 3 * u;
    EXPECT_TRUE(CircleInView(ring, TBox{P(2.5, -0.5), P(3.5, 0.5)}));
  }
}

}  // namespace
}  // namespace tesmar
