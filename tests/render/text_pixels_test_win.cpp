// Texts as the platform's font draws them into the viewer's raster: the capitals as tall as the
// text height, standing on the baseline, and the string as long as the CAD program sets it.
#include <gtest/gtest.h>

#include <algorithm>

#include "render/colours.h"
#include "render/offscreen_win.h"
#include "render/postprocess.h"
#include "tests/support/first_picture_win.h"

namespace tesmar {
namespace {

struct Ink {
  int left = 1 << 30, right = -1, top = 1 << 30, bottom = -1;
};

Ink InkOf(const TRaster8& r, Colour c) {
  Ink ink;
  for (int y = 0; y < r.Height(); ++y)
    for (int x = 0; x < r.Width(); ++x)
      if (r.PixelColour(x, y) == c) {
        ink.left = std::min(ink.left, x), ink.right = std::max(ink.right, x);
        ink.top = std::min(ink.top, y), ink.bottom = std::max(ink.bottom, y);
      }
  return ink;
}

// Two green rulers left of the origin, at y = 0 and y = 40 from x = -100 to x = 0, and the
// text in red: the picture fitted to them all.
std::unique_ptr<TRaster8> Picture(TTextBlk t) {
  TDrawingModel m;
  m.LayerAry = {TLayer{u"0"}};
  for (double y : {0.0, 40.0}) {
    TAcadLineBlk l;
    l.layer = u"0", l.st = {-100, y, 0}, l.ed = {0, y, 0}, l.color = 3;
    m.LineAry.push_back(l);
  }
  t.layer = u"0", t.color = 1, t.code40 = 40;
  m.TextAry.push_back(t);
  return test::FirstPicture(m, 800, 300);
}

TEST(TextPixels, CapitalsStandOnTheBaselineAsTallAsTheHeight) {
  TTextBlk t;
  t.str = u"HHHH";
  const auto r = Picture(t);
  const Ink rulers = InkOf(*r, AciToColor(3)), text = InkOf(*r, AciToColor(1));
  ASSERT_GE(text.right, 0) << "the text is drawn";
  const double pixelsPerUnit = (rulers.right - rulers.left) / 100.0;
  EXPECT_NEAR(text.top, rulers.top, 2) << "the capitals reach the text height";
  // Under Wine the face's capitals come out a few per cent short of the height measured on
  // its large outline; they must still end within a tenth of the height of the baseline.
  EXPECT_NEAR(text.bottom, rulers.bottom, 0.1 * (rulers.bottom - rulers.top)) << "and stand on the baseline";
  const double length = (text.right - rulers.right - 1) / pixelsPerUnit;  // the ruler ends before x = 0
  EXPECT_GT(length, 0.85 * 4 * 0.93 * 40) << "four capitals are set about 0.93 heights apart";
  EXPECT_LT(length, 1.02 * 4 * 0.93 * 40);
}

TEST(TextPixels, TopCentredAndMtextHangFromTheirPoints) {
  // A top-centre TEXT and an MTEXT attached top-left hang from y = 40; the TEXT centred on x = 200.
  TTextBlk top;
  top.str = u"HHHH", top.code72 = 1, top.code73 = 3, top.pt10 = {0, 0, 0}, top.pt11 = {200, 40, 0};
  TTextBlk mtext;
  mtext.mtflag = true, mtext.code41 = 0, mtext.code71 = 1, mtext.str = u"HH\\PHH", mtext.pt10 = {20, 40, 0};
  for (const TTextBlk& t : {top, mtext}) {
    const auto r = Picture(t);
    const Ink rulers = InkOf(*r, AciToColor(3)), text = InkOf(*r, AciToColor(1));
    ASSERT_GE(text.right, 0);
    EXPECT_NEAR(text.top, rulers.top, 2) << (t.mtflag ? "MTEXT" : "TEXT");
    if (!t.mtflag) {
      const double pixelsPerUnit = (rulers.right - rulers.left) / 100.0;
      // A ruler's last pixel (x = 0) is not drawn.
      EXPECT_NEAR((text.left + text.right) / 2.0, rulers.right + 1 + 200 * pixelsPerUnit, 2);
    } else {
      const double heights = static_cast<double>(text.bottom - text.top) / (rulers.bottom - rulers.top);
      EXPECT_NEAR(heights, 1 + 5.0 / 3, 0.05) << "two lines of capitals, 5/3 heights apart";
    }
  }
}

}  // namespace
}  // namespace tesmar
