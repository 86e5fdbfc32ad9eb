#include "render/extents.h"

#include <cmath>

#include <gtest/gtest.h>

#include "tests/support/point_expect.h"

namespace tesmar {
namespace {

using test::ExpectNear;

TAcadLineBlk Line(TAcadPoint st, TAcadPoint ed) {
  TAcadLineBlk l;
  l.st = st;
  l.ed = ed;
  return l;
}

TTextBlk Text(std::u16string s, TAcadPoint at, double height) {
  TTextBlk t;
  t.layer = u"0";
  t.str = std::move(s);
  t.pt10 = at;
  t.code40 = height;
  return t;
}

TEST(Extents, NothingCountsGivesZeros) {
  TDrawingModel m;
  EXPECT_EQ(ComputeExtents(m).max, (TAcadPoint{}));
  m.LayerAry.push_back({.Name = u"OFF", .visible = false});
  TAcadLineBlk hidden = Line({5, 5, 0}, {6, 6, 0});
  hidden.code60 = 1;
  m.LineAry.push_back(hidden);
  TAcadLineBlk paper = Line({5, 5, 0}, {6, 6, 0});
  paper.code67 = 1;
  m.LineAry.push_back(paper);
  TAcadLineBlk off = Line({5, 5, 0}, {6, 6, 0});
  off.layer = u"OFF";
  m.LineAry.push_back(off);
  TCircleBlk replaced;
  replaced.center = {5, 5, 0};
  replaced.hankei = 1;
  replaced.code67 = -1;
  m.CircleAry.push_back(replaced);
  const TBox b = ComputeExtents(m);
  EXPECT_EQ(b.min, (TAcadPoint{}));
  EXPECT_EQ(b.max, (TAcadPoint{}));
}

TEST(Extents, TextsCountWithTheAreaOfTheirLetters) {
  TDrawingModel m;
  m.LineAry.push_back(Line({0, 0, 7}, {10, 5, 7}));
  TBox b = ComputeExtents(m);
  EXPECT_EQ(b.max, (TAcadPoint{10, 5, 0}));
  // Four capitals of height 2 (0.93 heights each) from the line's end reach past it right and up.
  m.TextAry.push_back(Text(u"ABCD", {10, 5, 0}, 2));
  b = ComputeExtents(m);
  EXPECT_EQ(b.min, (TAcadPoint{0, 0, 0}));
  EXPECT_NEAR(b.max.x, 17.44, 1e-9);
  EXPECT_NEAR(b.max.y, 7, 1e-9);
  // Right-aligned (code72 2) at pt11, the letters lie to the left of the point.
  TTextBlk right = Text(u"ABCD", {0, 0, 0}, 2);
  right.code72 = 2;
  right.pt11 = {-1, -1, 0};
  m.TextAry.push_back(right);
  b = ComputeExtents(m);
  EXPECT_NEAR(b.min.x, -8.44, 1e-9);
  EXPECT_NEAR(b.min.y, -1, 1e-9);
}

TEST(Extents, CirclesAndArcsWiden) {
  TDrawingModel m;
  m.LineAry.push_back(Line({0, 0, 0}, {1, 1, 0}));
  TArcBlk arc;  // 270 to 90 through 0: reaches its radius to the right
  arc.center = {10, 0, 0};
  arc.hankei = 2;
  arc.st = 270;
  arc.ed = 90;
  m.ArcAry.push_back(arc);
  TCircleBlk c;
  c.center = {0, -5, 0};
  c.hankei = 1;
  m.CircleAry.push_back(c);
  const TBox b = ComputeExtents(m);
  ExpectNear(b.min, {-1, -6, 0});
  ExpectNear(b.max, {12, 2, 0});
}

TEST(Extents, TextBoxOfJustifiedAndRotatedTexts) {
  // Right-aligned (72 = 2) on the base line (73 = 1): anchored at pt11, running to the left.
  TTextBlk right = Text(u"AB", {0, 0, 0}, 1);
  right.code72 = 2;
  right.code73 = 1;
  right.pt11 = {10, 0, 0};
  TBox b = TextBox(right);
  ExpectNear(b.min, {10 - 2 * 1.71, 0, 0}, 1e-9);
  ExpectNear(b.max, {10, 2 * 0.994, 0}, 1e-9);

  // Turned by 90 degrees, the text runs upwards.
  TTextBlk up = Text(u"AB", {0, 0, 0}, 1);
  up.code50 = 90;
  b = TextBox(up);
  ExpectNear(b.min, {-1.71, 0, 0}, 1e-9);
  EXPECT_NEAR(b.max.y, 1.71 + std::sqrt(0.5), 1e-9);

  // MTEXT: two lines, attachment top left, reference width 20.
  TTextBlk mtext = Text(u"one\\Ptwo", {5, 5, 0}, 2);
  mtext.mtflag = true;
  mtext.code41 = 20;
  mtext.code71 = 1;
  b = TextBox(mtext);
  ExpectNear(b.min, {5, 5 - 2 * 1.86 * 2, 0}, 1e-9);
  ExpectNear(b.max, {25, 5, 0}, 1e-9);
  mtext.code71 = 9;  // bottom right
  b = TextBox(mtext);
  ExpectNear(b.min, {-15, 5, 0}, 1e-9);
  ExpectNear(b.max, {5, 5 + 2 * 1.86 * 2, 0}, 1e-9);
}

}  // namespace
}  // namespace tesmar
