#include "viewer/pick.h"

#include <gtest/gtest.h>

#include <algorithm>

namespace tesmar {
namespace {

TAcadLineBlk Line(double x0, double y0, double x1, double y1, std::int16_t layindex = 0) {
  TAcadLineBlk l;
  l.st = {x0, y0, 0}, l.ed = {x1, y1, 0};
  l.layer = layindex == 0 ? u"0" : u"HIDDEN";
  l.layindex = layindex;
  return l;
}

TDrawingModel Model() {
  TDrawingModel m;
  m.LayerAry.push_back(TLayer{.Name = u"0"});
  m.LayerAry.push_back(TLayer{.Name = u"HIDDEN", .visible = false});
  m.LineAry = {Line(0, 0, 100, 0), Line(0, 50, 100, 50)};
  TCircleBlk c;
  c.center = {200, 0, 0}, c.hankei = 10;
  m.CircleAry = {c};
  TArcBlk a;
  a.center = {0, 200, 0}, a.hankei = 20, a.st = 0, a.ed = 90;
  m.ArcAry = {a};
  TTextBlk t;
  t.pt10 = {300, 300, 0}, t.pt11 = {310, 300, 0}, t.code40 = 2.5, t.str = u"A";
  m.TextAry = {t};
  return m;
}

TEST(Pick, NearestEntityWhateverTheDistance) {
  const TDrawingModel m = Model();
  struct Case {
    TAcadPoint p;
    TPickKind kind;
    int index;
  } cases[] = {
      {{50, -1000, 0}, TPickKind::Line, 0},      // far below the drawing, still the nearest
      {{50, 30, 0}, TPickKind::Line, 1},
      {{105, 0, 0}, TPickKind::Circle, 0},       // beyond a line's end: not through its extension
      {{0, 175, 0}, TPickKind::Arc, 0},          // below the arc's missing part: its full circle counts
      {{300, 300, 0}, TPickKind::Text, 0},       // pt10 when not justified
      {{1e6, 1e6, 0}, TPickKind::Text, 0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << c.p.x << "," << c.p.y);
    const TPick got = PickNearest(m, c.p);
    EXPECT_EQ(got.kind, c.kind);
    EXPECT_EQ(got.index, c.index);
  }
}

TEST(Pick, TextJustifiedIsMeasuredFromItsAlignmentPoint) {
  TDrawingModel m = Model();
  m.TextAry[0].code72 = 1;
  EXPECT_EQ(TextReferencePoint(m.TextAry[0]).x, 310);
  m.TextAry[0].code72 = 0, m.TextAry[0].code73 = 2;
  EXPECT_EQ(TextReferencePoint(m.TextAry[0]).x, 310);
  m.TextAry[0].code73 = 0;
  EXPECT_EQ(TextReferencePoint(m.TextAry[0]).x, 300);
}

// A line on a switched-off layer is passed over for one farther away; nothing at all when no
// candidate is left.
TEST(Pick, HiddenLayersAreNotPicked) {
  TDrawingModel m = Model();
  m.LineAry.push_back(Line(0, 10, 100, 10, 1));
  EXPECT_EQ(PickNearest(m, {50, 11, 0}).index, 0);
  m.LayerAry[1].visible = true;
  EXPECT_EQ(PickNearest(m, {50, 11, 0}).index, 2);
  TDrawingModel hidden;
  hidden.LayerAry = m.LayerAry;
  hidden.LineAry = {Line(0, 0, 1, 1, 1)};
  hidden.LayerAry[1].visible = false;
  EXPECT_EQ(PickNearest(hidden, {0, 0, 0}).kind, TPickKind::None);
}

// A square fill of 40 x 40 at (500, 0) with a 10 x 10 hole: picked by its rings' edges (outer
// or hole), and its area is the square's less the hole's, whichever way the rings run.
TEST(Pick, FillsArePickedByTheirEdgesAndTellTheirArea) {
  TDrawingModel m = Model();
  TFillBlk f;
  f.layer = u"HATCH";
  f.pts = {{500, 0, 0}, {540, 0, 0}, {540, 40, 0}, {500, 40, 0},   // outer, anticlockwise
           {515, 15, 0}, {515, 25, 0}, {525, 25, 0}, {525, 15, 0}};  // hole, clockwise
  f.counts = {4, 4};
  m.FillAry = {f};
  struct Case {
    TAcadPoint p;
    TPickKind kind;
  } cases[] = {
      {{541, 20, 0}, TPickKind::Fill},   // just outside its right edge
      {{520, 14, 0}, TPickKind::Fill},   // inside, next to the hole
      {{520, -30, 0}, TPickKind::Fill},  // below it, nearer than the line's end far to the left
      {{99, 1, 0}, TPickKind::Line},     // a line nearer than the fill
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << c.p.x << "," << c.p.y);
    EXPECT_EQ(PickNearest(m, c.p).kind, c.kind);
  }
  EXPECT_DOUBLE_EQ(FillArea(f), 1600 - 100);
  std::reverse(f.pts.begin(), f.pts.begin() + 4);  // the outer ring clockwise too
  EXPECT_DOUBLE_EQ(FillArea(f), 1500);
  f.counts = {4};  // the outer ring alone: the points beyond the counts are not read
  EXPECT_DOUBLE_EQ(FillArea(f), 1600);
  EXPECT_EQ(FillAreaStatus(u"HATCH", 1500), u"[HATCH] 面積 = 1500.000");
  m.FillAry[0].layindex = 1;  // on a switched-off layer
  EXPECT_NE(PickNearest(m, {541, 20, 0}).kind, TPickKind::Fill);
}

TEST(Measure, MutualDistanceOfTwoLines) {
  EXPECT_NEAR(MutualDistance(Line(0, 50, 100, 50), Line(0, 0, 100, 0)).value(), 50, 1e-9);
  EXPECT_NEAR(MutualDistance(Line(10, 3, 90, 3), Line(100, 0, 0, 0)).value(), 3, 1e-9);
  EXPECT_NEAR(MutualDistance(Line(0, 0, 100, 0), Line(0, 0, 100, 0)).value(), 0, 1e-9);
  EXPECT_FALSE(MutualDistance(Line(0, 0, 0, 100), Line(0, 0, 100, 0)).has_value());
  // The first line pick of a run: the previous line is all zero.
  EXPECT_FALSE(MutualDistance(Line(0, 0, 100, 0), TAcadLineBlk{}).has_value());
}

TEST(Measure, StatusTexts) {
  EXPECT_EQ(CircleRadiusStatus(u"0", 10), u"[0] 円半径 = 10.000");
  EXPECT_EQ(ArcRadiusStatus(u"壁", 2.34567), u"[壁] 円弧半径 = 2.346");
  EXPECT_EQ(TextHeightStatus(u"T", 2.5, u"ABC"), u"[T] 文字高さ = 2.500 \"ABC\"");
  EXPECT_EQ(LineLengthStatus(u"0", 100, std::nullopt), u"[0] 長さ = 100.000");
  EXPECT_EQ(LineLengthStatus(u"0", 100, 50.0), u"[0] 長さ = 100.000 相互距離 = 50.000");
}

}  // namespace
}  // namespace tesmar
