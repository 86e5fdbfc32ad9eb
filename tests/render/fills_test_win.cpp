// The kinds beyond lines, circles, arcs and texts as the viewer's off-screen raster shows them.
#include <gtest/gtest.h>

#include <algorithm>

#include "render/colours.h"
#include "render/offscreen_win.h"
#include "render/postprocess.h"
#include "tests/support/first_picture_win.h"
#include "tests/support/hatch_fixture.h"

namespace tesmar {
namespace {

// The drawing post-processed and drawn as the viewer's first picture (fitted to its extents).
std::unique_ptr<TRaster8> FirstPicture(TDrawingModel& m, int W = 200, int H = 200) {
  m.LayerAry = {TLayer{u"0"}};
  return test::FirstPicture(m, W, H);
}

TEST(FilledKinds, SquareSolidIsFilledWhole) {
  TDrawingModel m;
  TSolidBlk s;
  s.p1 = {0, 0, 0}, s.p2 = {10, 0, 0}, s.p3 = {0, 10, 0}, s.p4 = {10, 10, 0}, s.p4Given = true;
  s.color = 1;
  m.SolidAry.push_back(s);
  const auto r = FirstPicture(m);
  const Colour red = AciToColor(1);
  // Inside all four triangles a diagonal would leave: the whole square is red.
  for (auto [x, y] : {std::pair{30, 30}, {170, 30}, {30, 170}, {170, 170}, {100, 100}}) EXPECT_EQ(r->PixelColour(x, y), red) << x << "," << y;
  EXPECT_EQ(r->PixelColour(3, 100), kBlack) << "outside the square";
}

TEST(FilledKinds, SolidHatchLeavesItsHoleEmpty) {
  TDrawingModel m;
  THatchBlk h;
  h.code70 = 1;
  h.color = 3;
  h.paths = {test::SquarePath(0, 10), test::SquarePath(4, 6)};
  m.HatchAry.push_back(h);
  const auto r = FirstPicture(m);
  EXPECT_EQ(r->PixelColour(30, 30), AciToColor(3));
  EXPECT_EQ(r->PixelColour(100, 100), kBlack) << "the middle of the hole";
}

TEST(FilledKinds, XlineCrossesTheWholeView) {
  TDrawingModel m;
  TAcadLineBlk l;
  l.st = {0, 0, 0}, l.ed = {10, 10, 0};
  m.LineAry.push_back(l);
  TXlineBlk x;
  x.base = {5, 0, 0}, x.dir = {0, 3, 0}, x.color = 2;  // the vertical through x = 5
  m.XlineAry.push_back(x);
  TXlineBlk ray = x;
  ray.base = {0, 5, 0}, ray.dir = {1, 0, 0}, ray.ray = true, ray.color = 4;  // from x = 0 to the right
  m.XlineAry.push_back(ray);
  const auto r = FirstPicture(m);
  const Colour yellow = AciToColor(2), cyan = AciToColor(4);
  int top = -1, bottom = -1;
  for (int y = 1; y < 199; ++y) {
    if (r->PixelColour(100, y) == yellow) {
      if (top < 0) top = y;
      bottom = y;
    }
  }
  EXPECT_EQ(top, 1) << "from the top of the image";
  EXPECT_EQ(bottom, 198) << "to its bottom";
  EXPECT_EQ(r->PixelColour(190, 100), cyan) << "the ray runs to the right edge";
  EXPECT_EQ(r->PixelColour(2, 100), kBlack) << "and not left of its start";
}

TEST(FilledKinds, TextAtTheEdgeIsInsideTheFirstPicture) {
  // A line and, right of its end, a text: the first picture must show the whole text.
  TDrawingModel m;
  TAcadLineBlk l;
  l.st = {0, 0, 0}, l.ed = {10, 0, 0};
  m.LineAry.push_back(l);
  TTextBlk t;
  t.layer = u"0";
  t.pt10 = {10, 0, 0}, t.code40 = 2, t.str = u"WWWW", t.color = 7;
  m.TextAry.push_back(t);
  const auto r = FirstPicture(m, 400, 200);
  int rightmost = -1;
  for (int y = 1; y < 199; ++y)
    for (int x = 1; x < 399; ++x)
      if (r->PixelColour(x, y) == AciToColor(7)) rightmost = std::max(rightmost, x);
  EXPECT_GT(rightmost, 300) << "the text reaches far right of the line's end";
  EXPECT_LT(rightmost, 396) << "and ends inside the picture, clear of its margin";
}

}  // namespace
}  // namespace tesmar
