#include "render/decompose.h"

#include <cmath>

#include <gtest/gtest.h>

#include "tests/support/point_expect.h"

#include "render/geometry.h"

namespace tesmar {
namespace {

using test::ExpectNear;

void ExpectLine(const TAcadLineBlk& l, TAcadPoint st, TAcadPoint ed, double tol = 1e-9) {
  ExpectNear(l.st, st, tol);
  ExpectNear(l.ed, ed, tol);
}

// Adds a polyline with the given vertices (x, y, bulge) to the drawing or block tables.
TLwpBlk& AddPolyline(std::vector<TLwpBlk>& polylines, std::vector<TLwpVer>& vertices, int flags,
                     std::initializer_list<std::array<double, 3>> points) {
  TLwpBlk p;
  p.ihand = static_cast<std::int32_t>(polylines.size());
  p.code70 = static_cast<std::int16_t>(flags);
  p.layer = u"P";
  p.color = 4;
  for (const auto& v : points) vertices.push_back({p.ihand, {v[0], v[1], 0}, v[2]});
  polylines.push_back(p);
  return polylines.back();
}

TEST(Decompose, ClosedAndOpenPolylines) {
  TDrawingModel m;
  AddPolyline(m.LwpAry, m.VerAry, kPolylineClosed, {{{0, 0, 0}}, {{1, 0, 0}}, {{1, 1, 0}}, {{0, 1, 0}}});
  AddPolyline(m.LwpAry, m.VerAry, 0, {{{5, 0, 0}}, {{6, 0, 0}}, {{6, 1, 0}}, {{5, 1, 0}}});
  AddPolyline(m.LwpAry, m.VerAry, kPolylineClosed, {{{9, 9, 0}}});  // one vertex: nothing
  m.LwpAry[1].code67 = 1;
  m.LwpAry[1].bname = u"B";
  ExplodePolylines(m);
  ASSERT_EQ(m.LineAry.size(), 7u);
  ExpectLine(m.LineAry[3], {0, 1, 0}, {0, 0, 0});  // the closing segment
  ExpectLine(m.LineAry[6], {6, 1, 0}, {5, 1, 0});
  EXPECT_EQ(m.LineAry[0].layer, u"P");
  EXPECT_EQ(m.LineAry[0].color, 4);
  EXPECT_EQ(m.LineAry[4].code67, 1);  // passed on
  EXPECT_EQ(m.LineAry[4].bname, u"B");
  EXPECT_TRUE(m.ArcAry.empty());
}

TEST(Decompose, InvisiblePolylineDoesNotDisturbTheVertexRuns) {
  TDrawingModel m;
  AddPolyline(m.LwpAry, m.VerAry, 0, {{{0, 0, 0}}, {{1, 0, 0}}});
  AddPolyline(m.LwpAry, m.VerAry, 0, {{{2, 0, 0}}, {{3, 0, 0}}});
  AddPolyline(m.LwpAry, m.VerAry, 0, {{{4, 0, 0}}, {{5, 0, 0}}});
  m.LwpAry[1].code60 = 1;
  ExplodePolylines(m);
  ASSERT_EQ(m.LineAry.size(), 2u);
  ExpectLine(m.LineAry[1], {4, 0, 0}, {5, 0, 0});
}

TEST(Decompose, BulgesBecomeArcsAndTinyOnesChordsInTheDrawingOnly) {
  // Bulge giving a sweep of 0.5 degrees: tan(0.5 / 4 degrees).
  const double tiny = std::tan(0.125 * kDegToRad);
  TDrawingModel m;
  AddPolyline(m.LwpAry, m.VerAry, 0, {{{0, 0, 1}}, {{2, 0, tiny}}, {{4, 0, 0}}});
  AddPolyline(m.BlkLwpAry, m.BlkVerAry, 0, {{{0, 0, 1}}, {{2, 0, tiny}}, {{4, 0, 0}}});
  ExplodePolylines(m);
  ExplodeBlockPolylines(m);

  ASSERT_EQ(m.ArcAry.size(), 1u);
  ExpectNear(m.ArcAry[0].center, {1, 0, 0});
  EXPECT_DOUBLE_EQ(m.ArcAry[0].hankei, 1);
  EXPECT_DOUBLE_EQ(m.ArcAry[0].st, 180);
  EXPECT_DOUBLE_EQ(m.ArcAry[0].ed, 0);
  ASSERT_EQ(m.LineAry.size(), 1u);
  ExpectLine(m.LineAry[0], {2, 0, 0}, {4, 0, 0}, 1e-9);

  ASSERT_EQ(m.BlkArcAry.size(), 2u);  // in a block every bulge stays an arc
  EXPECT_TRUE(m.BlkLineAry.empty());
  EXPECT_NEAR(m.BlkArcAry[1].ed - m.BlkArcAry[1].st, 0.5, 1e-9);
}

TEST(Decompose, PolygonMeshDrawsItsLinesAlongM) {
  for (bool closed : {false, true}) {
    SCOPED_TRACE(closed);
    TDrawingModel m;
    TLwpBlk& mesh = AddPolyline(m.LwpAry, m.VerAry, kPolylineMesh | (closed ? kPolylineClosed : 0),
                                {{{0, 0, 0}}, {{1, 0, 0}}, {{2, 0, 0}}, {{0, 1, 0}}, {{1, 1, 0}}, {{2, 1, 0}}});
    mesh.code71 = 2;
    mesh.code72 = 3;
    ExplodePolylines(m);
    ASSERT_EQ(m.LineAry.size(), closed ? 6u : 3u);
    const std::size_t perColumn = closed ? 2 : 1;
    for (std::size_t n = 0; n < 3; ++n) {
      ExpectLine(m.LineAry[n * perColumn], {double(n), 0, 0}, {double(n), 1, 0});
      if (closed) ExpectLine(m.LineAry[n * perColumn + 1], {double(n), 1, 0}, {double(n), 0, 0});
    }
  }
}

TEST(Decompose, MeshCountsBeyondItsVerticesAreSkipped) {
  TDrawingModel m;
  TLwpBlk& mesh = AddPolyline(m.LwpAry, m.VerAry, kPolylineMesh | kPolylineClosed, {{{0, 0, 0}}, {{1, 0, 0}}});
  mesh.code71 = 5;
  mesh.code72 = 4;
  ExplodePolylines(m);  // columns 0 and 1 have only their first vertex: closing lines of no length
  ASSERT_EQ(m.LineAry.size(), 2u);
  ExpectLine(m.LineAry[1], {1, 0, 0}, {1, 0, 0});
  TDrawingModel polyface;
  AddPolyline(polyface.LwpAry, polyface.VerAry, kPolylinePolyface, {{{0, 0, 0}}, {{1, 0, 0}}});
  ExplodePolylines(polyface);
  EXPECT_TRUE(polyface.LineAry.empty());
}

TEST(Decompose, Ellipses) {
  TDrawingModel m;
  TEllipseBlk full;
  full.center = {10, 0, 0};
  full.endpoint = {2, 0, 0};
  full.henpei = 0.5;
  full.kaisi = 0;
  full.owari = kTwoPi;
  full.layer = u"E";
  m.EllipseAry.push_back(full);
  TEllipseBlk backwards = full;
  backwards.kaisi = 3;
  backwards.owari = 3;
  m.EllipseAry.push_back(backwards);
  TEllipseBlk noAxis = full;
  noAxis.endpoint = {0, 0, 0};
  m.EllipseAry.push_back(noAxis);
  TEllipseBlk farOut = full;  // a parameter where the step no longer counts: no endless loop
  farOut.kaisi = 9007199254740992.0;
  farOut.owari = farOut.kaisi + 6;
  m.EllipseAry.push_back(farOut);
  ExplodeEllipses(m, 10);
  ASSERT_EQ(m.LineAry.size(), 36u);
  ExpectLine(m.LineAry[0], {12, 0, 0}, {10 + 2 * std::cos(10 * kDegToRad), std::sin(10 * kDegToRad), 0}, 1e-12);
  ExpectLine(m.LineAry[8], {10 + 2 * std::cos(80 * kDegToRad), std::sin(80 * kDegToRad), 0}, {10, 1, 0}, 1e-12);
  ExpectNear(m.LineAry[35].ed, {12, 0, 0}, 1e-12);
  EXPECT_EQ(m.LineAry[0].layer, u"E");
  EXPECT_EQ(m.LineAry[0].code210, kDefaultExtrusion);

  // A quarter arc from 0 to pi/2 of an ellipse seen from below runs through negative x.
  TDrawingModel below;
  TEllipseBlk arc = full;
  arc.center = {0, 0, 0};
  arc.owari = kHalfPi;
  arc.code210 = {0, 0, -1};
  below.EllipseAry.push_back(arc);
  ExplodeEllipses(below, 10);
  ASSERT_EQ(below.LineAry.size(), 9u);
  ExpectNear(below.LineAry[8].ed, {0, -1, 0}, 1e-12);  // minor axis along n x u = (0, -1, 0)
}

TEST(Decompose, TiltedArcRoundsItsStepCountToNearest) {
  TDrawingModel m;
  TArcBlk arc;
  arc.center = {0, 0, 0};
  arc.hankei = 1;
  arc.st = 0;
  arc.ed = 36;
  arc.code210 = {0, 0, -1};
  arc.layer = u"A";
  m.ArcAry.push_back(arc);
  TArcBlk flat = arc;
  flat.code210 = kDefaultExtrusion;
  m.ArcAry.push_back(flat);
  ExplodeTiltedArcs(m, 10, false);
  auto P = [](double deg) { return AcadPointPolar({0, 0, 0}, deg * kDegToRad, 1); };
  ASSERT_EQ(m.LineAry.size(), 5u);  // 3.6 steps round to 4: P(0) .. P(40), then back to P(36)
  for (int i = 0; i < 4; ++i) ExpectLine(m.LineAry[i], P(10 * i), P(10 * (i + 1)));
  ExpectLine(m.LineAry[4], P(40), P(36));
  EXPECT_EQ(m.LineAry[0].code210, arc.code210);
  EXPECT_EQ(m.LineAry[0].code67, 0);
  EXPECT_EQ(m.ArcAry[0].code67, -1);
  EXPECT_EQ(m.ArcAry[1].code67, 0);

  LinesToWorld(m);  // mirrored in x
  ExpectLine(m.LineAry[0], {-1, 0, 0}, {-P(10).x, P(10).y, 0});
}

TEST(Decompose, TiltedArcThroughZeroAndHugeAngles) {
  TDrawingModel m;
  TArcBlk arc;
  arc.hankei = 2;
  arc.st = 350;
  arc.ed = 10;  // 20 degrees through 0
  arc.code210 = {0, 0, -1};
  m.ArcAry.push_back(arc);
  arc.st = 0;
  arc.ed = 1e12;  // nonsense angles draw at most one turn
  m.ArcAry.push_back(arc);
  arc.st = 1e300;  // and never a negative number of steps
  arc.ed = 0;
  m.ArcAry.push_back(arc);
  ExplodeTiltedArcs(m, 10, false);
  ASSERT_EQ(m.LineAry.size(), 3u + 37u + 1u);
  ExpectLine(m.LineAry[2], AcadPointPolar({0, 0, 0}, 370 * kDegToRad, 2), AcadPointPolar({0, 0, 0}, 10 * kDegToRad, 2));
}

TEST(Decompose, TiltedCircleBecomes37Lines) {
  TDrawingModel m;
  TCircleBlk circle;
  circle.center = {5, 0, 0};
  circle.hankei = 1;
  circle.code210 = {0, 0, -1};
  circle.color = 3;
  m.CircleAry.push_back(circle);
  TCircleBlk flat = circle;
  flat.code210 = kDefaultExtrusion;
  m.CircleAry.push_back(flat);
  TCircleBlk hidden = circle;
  hidden.code60 = 1;
  m.CircleAry.push_back(hidden);
  ExplodeTiltedCircles(m, 10, false);
  ASSERT_EQ(m.LineAry.size(), 37u);
  EXPECT_EQ(m.CircleAry[0].code67, -1);
  EXPECT_EQ(m.CircleAry[1].code67, 0);
  EXPECT_EQ(m.CircleAry[2].code67, 0);
  ExpectLine(m.LineAry[0], {6, 0, 0}, AcadPointPolar({5, 0, 0}, 10 * kDegToRad, 1));
  EXPECT_NEAR(AcadPointDistance(m.LineAry[36].st, m.LineAry[36].ed), 0, 1e-12);
  EXPECT_EQ(m.LineAry[0].color, 3);
  LinesToWorld(m);
  ExpectNear(m.LineAry[0].st, {-6, 0, 0});
  // Step 8 gives 44 steps.
  TDrawingModel eight;
  eight.CircleAry.push_back(circle);
  ExplodeTiltedCircles(eight, 8, true);
  EXPECT_EQ(eight.LineAry.size(), 45u);
}

TEST(Decompose, TextsToWorldTurnsPositionAndRotation) {
  TDrawingModel m;
  TTextBlk t;
  t.pt10 = {1, 2, 0};
  t.pt11 = {3, 0, 0};
  t.code50 = 30;
  t.code210 = {0, 0, -1};
  m.TextAry.push_back(t);
  TTextBlk flat = t;
  flat.code210 = kDefaultExtrusion;
  m.TextAry.push_back(flat);
  TextsToWorld(m);
  ExpectNear(m.TextAry[0].pt10, {-1, 2, 0});
  ExpectNear(m.TextAry[0].pt11, {-3, 0, 0});
  EXPECT_DOUBLE_EQ(m.TextAry[0].code50, 30 + 180);  // the object's x axis points left
  ExpectNear(m.TextAry[1].pt10, {1, 2, 0});
  EXPECT_DOUBLE_EQ(m.TextAry[1].code50, 30);
}

TEST(Decompose, FacesLeadersSolidsSplines) {
  TDrawingModel m;
  TFaceBlk tri;
  tri.pt = {TAcadPoint{0, 0, 0}, {1, 0, 0}, {0, 1, 0}, {}};
  tri.code67 = 1;
  m.FaceAry.push_back(tri);
  TFaceBlk quad = tri;
  quad.count = 4;
  quad.pt[3] = {5, 5, 5};
  m.FaceAry.push_back(quad);
  ExplodeFaces(m);
  ASSERT_EQ(m.LineAry.size(), 7u);
  ExpectLine(m.LineAry[2], {0, 1, 0}, {0, 0, 0});
  ExpectLine(m.LineAry[6], {5, 5, 5}, {0, 0, 0});
  EXPECT_EQ(m.LineAry[0].code67, 1);

  m.LineAry.clear();
  TLeaderBlk leader;
  leader.code76 = 2;
  leader.p1 = {0, 0, 0};
  leader.p2 = {3, 4, 0};
  leader.code41 = 5;
  m.LeaderAry.push_back(leader);
  TLeaderBlk four = leader;
  four.code76 = 4;
  four.vertices = {{0, 0, 0}, {3, 4, 0}, {6, 4, 0}, {6, 8, 0}};
  four.code41 = 0;
  m.LeaderAry.push_back(four);
  TLeaderBlk single = leader;
  single.code76 = 1;
  m.LeaderAry.push_back(single);
  TLeaderBlk inBlock = four;
  inBlock.bname = u"B";
  m.LeaderAry.push_back(inBlock);
  ExplodeLeaders(m);
  ASSERT_EQ(m.LineAry.size(), 5u) << "the block's leader is left for the blocks' step";
  ExpectLine(m.LineAry[1], {3, 4, 0}, {8, 4, 0});
  ExpectLine(m.LineAry[4], {6, 4, 0}, {6, 8, 0});  // every vertex is drawn

  m.LineAry.clear();
  TSolidBlk solid;
  solid.p1 = {0, 0, 0};
  solid.p2 = {2, 0, 0};
  solid.p3 = {0, 2, 0};
  solid.p4 = {2, 2, 0};
  solid.p4Given = true;
  solid.color = 3;
  m.SolidAry.push_back(solid);
  ExplodeSolids(m);
  ASSERT_EQ(m.FillAry.size(), 1u) << "a square solid is filled whole";
  EXPECT_EQ(m.FillAry[0].pts, (std::vector<TAcadPoint>{{0, 0, 0}, {2, 0, 0}, {2, 2, 0}, {0, 2, 0}}));
  EXPECT_EQ(m.FillAry[0].counts, (std::vector<std::uint32_t>{4}));
  EXPECT_EQ(m.FillAry[0].color, 3);
  ASSERT_EQ(m.LineAry.size(), 4u) << "and outlined";
  ExpectLine(m.LineAry[3], {0, 2, 0}, {0, 0, 0});
}

TEST(Decompose, CountDecompositionBoundsWhatTheStepsAdd) {
  TDrawingModel m;
  AddPolyline(m.LwpAry, m.VerAry, 1, {{0, 0, 0.5}, {1, 0, 0.001}, {1, 1, 0}, {0, 1, -1}});
  AddPolyline(m.LwpAry, m.VerAry, 0, {{0, 0, 0}, {5, 0, 1}, {5, 5, 0}});
  TLwpBlk& mesh = AddPolyline(m.LwpAry, m.VerAry, 16 | 1, {{0, 0, 0}, {1, 0, 0}, {0, 1, 0}, {1, 1, 0}, {0, 2, 0}, {1, 2, 0}});
  mesh.code71 = 3, mesh.code72 = 2;
  TEllipseBlk full;
  full.endpoint = {2, 0, 0}, full.henpei = 0.5, full.owari = kTwoPi;
  TEllipseBlk huge = full;
  huge.kaisi = -1e300, huge.owari = 1e300;
  m.EllipseAry = {full, huge};
  TArcBlk tilted;
  tilted.hankei = 1, tilted.st = 350, tilted.ed = 10, tilted.code210 = {1, 0, 0};
  TArcBlk wide = tilted;
  wide.st = -1e9, wide.ed = 1e9;
  m.ArcAry = {tilted, wide, TArcBlk{}};
  TCircleBlk circle;
  circle.hankei = 1, circle.code210 = {0, 1, 0};
  m.CircleAry = {circle, TCircleBlk{}};
  TFaceBlk face;
  face.count = 4;
  m.FaceAry = {face, TFaceBlk{}};
  TLeaderBlk leader;
  leader.code76 = 3, leader.code41 = 2;
  m.LeaderAry = {leader};
  m.SolidAry = {TSolidBlk{}};
  TSplineBlk spline;
  spline.code70 = 8;
  spline.code10Ary = {{0, 0, 0}, {1, 0, 0}, {1, 1, 0}, {2, 1, 0}};
  m.SplineAry = {spline};

  const TDecomposeCounts c = CountDecomposition(m, 10);
  const std::size_t arcs = m.ArcAry.size();
  ExplodePolylines(m);
  ExplodeEllipses(m, 10);
  ExplodeTiltedArcs(m, 10, false);
  ExplodeTiltedCircles(m, 10, false);
  ExplodeFaces(m);
  ExplodeLeaders(m);
  ExplodeSolids(m);
  ExplodeSplines(m);
  EXPECT_GE(c.lines, m.LineAry.size());
  EXPECT_GE(c.arcs, m.ArcAry.size() - arcs);
}

}  // namespace
}  // namespace tesmar
