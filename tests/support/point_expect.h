#pragma once
// Comparison of points within a tolerance, for the geometry tests.
#include <gtest/gtest.h>

#include "dxf/model.h"

namespace tesmar::test {

inline void ExpectNear(TAcadPoint got, TAcadPoint want, double tol = 1e-9) {
  EXPECT_NEAR(got.x, want.x, tol);
  EXPECT_NEAR(got.y, want.y, tol);
  EXPECT_NEAR(got.z, want.z, tol);
}

}  // namespace tesmar::test
