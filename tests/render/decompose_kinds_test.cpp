#include <gtest/gtest.h>

#include <cmath>
#include <cstring>

#include "render/decompose.h"
#include "render/geometry.h"
#include "tests/support/hatch_fixture.h"
#include "tests/support/point_expect.h"

namespace tesmar {
namespace {

using test::ExpectNear;

// Whether p lies inside the square [lo, hi]^2 (within tol).
bool In(TAcadPoint p, double lo, double hi, double tol = 1e-9) {
  return p.x >= lo - tol && p.x <= hi + tol && p.y >= lo - tol && p.y <= hi + tol;
}

TEST(DecomposeKinds, SolidHatchWithAHoleIsOneFillOfTwoRings) {
  TDrawingModel m;
  THatchBlk h;
  h.code70 = 1;
  h.color = 5;
  h.paths = {test::SquarePath(0, 10), test::SquarePath(4, 6)};
  m.HatchAry.push_back(h);
  ExplodeHatchRecords(m, false, 10);
  ASSERT_EQ(m.FillAry.size(), 1u);
  EXPECT_EQ(m.FillAry[0].counts, (std::vector<std::uint32_t>{4, 4})) << "the hole is a ring of the same fill";
  EXPECT_EQ(m.FillAry[0].color, 5);
  EXPECT_EQ(m.LineAry.size(), 8u) << "the outline of both rings";
}

TEST(DecomposeKinds, PatternLinesStayInsideTheBoundaryAndOutOfItsHoles) {
  TDrawingModel m;
  THatchBlk h;
  h.paths = {test::SquarePath(0, 10), test::SquarePath(4, 6)};
  THatchLine diagonal;
  diagonal.angle = 45;
  diagonal.offset = {-0.5, 0.5, 0};  // rows 0.707 apart
  h.lines.push_back(diagonal);
  THatchLine dashed;
  dashed.angle = 0;
  dashed.base = {0, 0.25, 0};
  dashed.offset = {0, 1, 0};
  dashed.dashes = {0.5, -0.25};
  h.lines.push_back(dashed);
  m.HatchAry.push_back(h);
  ExplodeHatchRecords(m, false, 10);
  EXPECT_TRUE(m.FillAry.empty());
  ASSERT_GT(m.LineAry.size(), 30u);
  std::size_t horizontal = 0;
  for (const TAcadLineBlk& l : m.LineAry) {
    EXPECT_TRUE(In(l.st, 0, 10) && In(l.ed, 0, 10));
    const TAcadPoint mid{(l.st.x + l.ed.x) / 2, (l.st.y + l.ed.y) / 2, 0};
    EXPECT_FALSE(In(mid, 4, 6, -1e-9)) << "a line crosses the hole at " << mid.x << "," << mid.y;
    if (l.st.y == l.ed.y) {
      ++horizontal;
      EXPECT_LE(AcadPointDistance(l.st, l.ed), 0.5 + 1e-9) << "dashes of 0.5";
    }
  }
  EXPECT_GT(horizontal, 100u);
}

TEST(DecomposeKinds, HatchEdgesOfEveryKindCloseTheRing) {
  // A half disc: the line along the x axis and the arc above it, counter-clockwise.
  TDrawingModel m;
  THatchBlk h;
  h.code70 = 1;
  THatchPath path;
  THatchEdge line;
  line.type = 1;
  line.p1 = {-2, 0, 0}, line.p2 = {2, 0, 0};
  THatchEdge arc;
  arc.type = 2;
  arc.r = 2, arc.a0 = 0, arc.a1 = 180;
  path.edges = {line, arc};
  h.paths = {path};
  m.HatchAry.push_back(h);
  ExplodeHatchRecords(m, false, 10);
  ASSERT_EQ(m.FillAry.size(), 1u);
  const std::vector<TAcadPoint>& pts = m.FillAry[0].pts;
  ASSERT_GE(pts.size(), 19u);
  for (const TAcadPoint& p : pts) {
    EXPECT_GE(p.y, -1e-9);
    EXPECT_LE(std::hypot(p.x, p.y), 2 + 1e-9);
  }
}

TEST(DecomposeKinds, WidePolylineSegmentsAreFilledBands) {
  TDrawingModel m;
  TLwpBlk p;
  p.code43 = 2;  // every segment 2 wide
  m.LwpAry.push_back(p);
  m.VerAry.push_back({0, {0, 0, 0}, 0});
  m.VerAry.push_back({0, {10, 0, 0}, 0});
  TLwpVer taper{0, {10, 10, 0}, 0};
  taper.code40 = 4, taper.code41 = 0.0f;  // 4 wide at the start, the polyline's 2 at the end
  m.VerAry.push_back(taper);
  m.VerAry.push_back({0, {0, 10, 0}, 0});
  ExplodePolylines(m);
  ASSERT_EQ(m.LineAry.size(), 3u) << "the centre lines stay";
  ASSERT_EQ(m.FillAry.size(), 3u);
  EXPECT_EQ(m.FillAry[0].pts, (std::vector<TAcadPoint>{{0, 1, 0}, {10, 1, 0}, {10, -1, 0}, {0, -1, 0}}));
  ExpectNear(m.FillAry[2].pts[0], {10, 8, 0});
  ExpectNear(m.FillAry[2].pts[1], {0, 9, 0});
}

TEST(DecomposeKinds, MultilinesAndMeshes) {
  TDrawingModel m;
  TMlineBlk ml;
  ml.vertices = {{0, 0, 0}, {10, 0, 0}, {10, 10, 0}};
  const double d = std::sqrt(2.0);
  ml.miters = {{0, 1, 0}, {-d / 2, d / 2, 0}, {-1, 0, 0}};
  ml.offsets = {0.5, -0.5, 0.5 * d, -0.5 * d, 0.5, -0.5};  // two elements, 0.5 either side
  m.MlineAry.push_back(ml);
  ExplodeMlineRecords(m, false);
  ASSERT_EQ(m.LineAry.size(), 4u);
  ExpectNear(m.LineAry[0].st, {0, 0.5, 0});
  ExpectNear(m.LineAry[0].ed, {9.5, 0.5, 0});
  ExpectNear(m.LineAry[3].ed, {10.5, 10, 0});

  m.LineAry.clear();
  TMeshBlk mesh;
  mesh.vertices = {{0, 0, 0}, {1, 0, 0}, {1, 1, 0}, {0, 1, 0}};
  mesh.faces = {3, 0, 1, 2, 3, 0, 2, 9, 4};  // a triangle, one with an unknown vertex, a cut-off face
  m.MeshAry.push_back(mesh);
  ExplodeMeshRecords(m, false);
  EXPECT_EQ(m.LineAry.size(), 4u);
}

// One command of a proxy graphics stream.
void Command(std::vector<std::uint8_t>& g, std::int32_t type, const std::vector<std::uint8_t>& data) {
  auto put = [&](std::int32_t v) {
    for (int i = 0; i < 4; ++i) g.push_back(static_cast<std::uint8_t>(v >> (8 * i)));
  };
  put(static_cast<std::int32_t>(8 + data.size()));
  put(type);
  g.insert(g.end(), data.begin(), data.end());
}

template <class T>
void Put(std::vector<std::uint8_t>& d, T v) {
  std::uint8_t b[sizeof(T)];
  std::memcpy(b, &v, sizeof(T));
  d.insert(d.end(), b, b + sizeof(T));
}

void PutPoint(std::vector<std::uint8_t>& d, TAcadPoint p) {
  Put(d, p.x), Put(d, p.y), Put(d, p.z);
}

TEST(DecomposeKinds, ProxyGraphicsGiveLinesFillsAndTexts) {
  std::vector<std::uint8_t> g(8, 0);  // size and count, filled in below
  std::vector<std::uint8_t> d;
  Put<std::int32_t>(d, 3);
  for (TAcadPoint p : {TAcadPoint{0, 0, 0}, {4, 0, 0}, {4, 3, 0}}) PutPoint(d, p);
  Command(g, 6, d);  // polyline
  d.clear();
  Put<std::int32_t>(d, 1);
  Command(g, 20, d);  // fill on
  d.clear();
  Put<std::int32_t>(d, 3);
  Command(g, 14, d);  // colour 3
  d.clear();
  Put<std::int32_t>(d, 3);
  for (TAcadPoint p : {TAcadPoint{10, 0, 0}, {11, 0, 0}, {10, 1, 0}}) PutPoint(d, p);
  Command(g, 7, d);  // filled polygon
  d.clear();
  PutPoint(d, {20, 5, 0});
  PutPoint(d, {0, 0, 1});
  PutPoint(d, {0, 1, 0});  // upwards
  for (char c : std::string("Hi\0\0", 4)) d.push_back(static_cast<std::uint8_t>(c));
  Put<std::int32_t>(d, 2), Put<std::int32_t>(d, 1), Put(d, 0.25), Put(d, 0.8);
  Command(g, 11, d);  // text with its style
  Command(g, 99, std::vector<std::uint8_t>(12, 0));  // a command not drawn
  const std::int32_t size = static_cast<std::int32_t>(g.size()), count = 6;
  std::memcpy(g.data(), &size, 4);
  std::memcpy(g.data() + 4, &count, 4);
  TProxyBlk proxy;
  proxy.color = 7;
  proxy.graphics = g;
  TDrawingModel m;
  m.ProxyAry.push_back(proxy);
  proxy.graphics.resize(proxy.graphics.size() - 30);  // cut short: what is whole is still drawn
  m.ProxyAry.push_back(proxy);
  ExplodeProxyRecords(m, false, 10);

  ASSERT_EQ(m.LineAry.size(), 2u * (2u + 3u)) << "the polyline and the polygon's outline, twice";
  EXPECT_EQ(m.LineAry[0].color, 7);
  ExpectNear(m.LineAry[1].ed, {4, 3, 0});
  EXPECT_EQ(m.LineAry[2].color, 3);
  ASSERT_EQ(m.FillAry.size(), 2u);
  EXPECT_EQ(m.FillAry[0].counts, (std::vector<std::uint32_t>{3}));
  ASSERT_EQ(m.TextAry.size(), 1u);
  EXPECT_EQ(m.TextAry[0].str, u"Hi");
  EXPECT_DOUBLE_EQ(m.TextAry[0].code40, 0.25);
  EXPECT_DOUBLE_EQ(m.TextAry[0].code41, 0.8);
  EXPECT_DOUBLE_EQ(m.TextAry[0].code50, 90);
  ExpectNear(m.TextAry[0].pt10, {20, 5, 0});
}

}  // namespace
}  // namespace tesmar
