#include "render/canvas_gdi_win.h"

#include <gtest/gtest.h>

#include "render/prepare_canvas.h"
#include "ui/gdi.h"

namespace tesmar {
namespace {

int CountPixels(const ui::DibBitmap& bmp, COLORREF c) {
  int n = 0;
  for (int y = 0; y < bmp.Height(); ++y)
    for (int x = 0; x < bmp.Width(); ++x) n += bmp.Pixel(x, y) == c;
  return n;
}

void Fill(ui::DibBitmap& bmp, COLORREF c) {
  for (int y = 0; y < bmp.Height(); ++y)
    for (int x = 0; x < bmp.Width(); ++x) SetPixelV(bmp.Dc(), x, y, c);
}

TEST(GdiPrepareCanvas, FreshBitmapBecomesBlackAndThePenDrawsWhite) {
  ui::DibBitmap bmp(45, 45);
  Fill(bmp, RGB(200, 10, 10));
  GdiCanvas canvas(bmp.Dc());
  PrepareCanvas(canvas, 45, 45, 0);
  EXPECT_EQ(CountPixels(bmp, RGB(0, 0, 0)), 45 * 45);
  EXPECT_EQ(canvas.Pen(), (PenState{kWhite, 1, 0, PenMode::Copy}));
  canvas.MoveTo(0, 10);
  canvas.LineTo(45, 10);
  EXPECT_EQ(CountPixels(bmp, RGB(255, 255, 255)), 45);
}

TEST(GdiPrepareCanvas, InvertModeCanvasIsFilledPlainNotInverted) {
  for (COLORREF background : {RGB(0, 0, 0), RGB(255, 255, 255), RGB(12, 200, 99)}) {
    SCOPED_TRACE(background);
    ui::DibBitmap bmp(20, 16);
    Fill(bmp, background);
    GdiCanvas canvas(bmp.Dc());
    canvas.SetPenMode(PenMode::Invert);
    PrepareCanvas(canvas, 20, 16, 0);
    EXPECT_EQ(CountPixels(bmp, RGB(0, 0, 0)), 20 * 16);
    EXPECT_EQ(canvas.Pen().mode, PenMode::Copy);
    EXPECT_EQ(GetROP2(bmp.Dc()), R2_COPYPEN);
  }
}

TEST(GdiPrepareCanvas, RightAndBottomAreExclusive) {
  ui::DibBitmap bmp(10, 10);
  Fill(bmp, RGB(255, 255, 255));
  GdiCanvas canvas(bmp.Dc());
  PrepareCanvas(canvas, 6, 4, RGB(0, 0, 255));
  EXPECT_EQ(CountPixels(bmp, RGB(0, 0, 255)), 6 * 4);
  EXPECT_EQ(bmp.Pixel(5, 3), RGB(0, 0, 255));
  EXPECT_EQ(bmp.Pixel(6, 3), RGB(255, 255, 255));
  EXPECT_EQ(bmp.Pixel(5, 4), RGB(255, 255, 255));
}

TEST(GdiPrepareCanvas, StyledPenGapsTakeTheBrushNotTheDcBackground) {
  // A fresh memory DC paints pen gaps opaque white; the canvas must use its own brush.
  for (TPenStyle style : {PS_DOT, PS_DASH, PS_DASHDOT}) {
    SCOPED_TRACE(style);
    ui::DibBitmap bmp(40, 20);
    GdiCanvas canvas(bmp.Dc());
    canvas.SetPenStyle(style);
    PrepareCanvas(canvas, 40, 20, 0);
    EXPECT_EQ(CountPixels(bmp, RGB(0, 0, 0)), 40 * 20);

    canvas.MoveTo(0, 5);
    canvas.LineTo(40, 5);
    canvas.Arc(2, 2, 18, 18, 18, 10, 18, 10);
    int white = CountPixels(bmp, kWhite);
    EXPECT_GT(white, 0);
    EXPECT_EQ(white + CountPixels(bmp, RGB(0, 0, 0)), 40 * 20);  // the gaps stay black

    // A clear brush leaves what lies under the gaps.
    Fill(bmp, RGB(0, 0, 255));
    canvas.SetBrushStyle(BrushStyle::Clear);
    canvas.MoveTo(0, 5);
    canvas.LineTo(40, 5);
    EXPECT_EQ(CountPixels(bmp, RGB(0, 0, 0)), 0);
    EXPECT_EQ(CountPixels(bmp, RGB(0, 0, 255)) + CountPixels(bmp, kWhite), 40 * 20);
    EXPECT_GT(CountPixels(bmp, kWhite), 0);
  }
}

TEST(GdiCanvas, PenModesFontsAndRestoringTheDc) {
  ui::DibBitmap bmp(64, 32);
  HGDIOBJ penBefore = GetCurrentObject(bmp.Dc(), OBJ_PEN);
  HGDIOBJ fontBefore = GetCurrentObject(bmp.Dc(), OBJ_FONT);
  {
    GdiCanvas canvas(bmp.Dc());
    PrepareCanvas(canvas, 64, 32, 0);
    // Xor drawn twice removes itself.
    canvas.SetPenMode(PenMode::Xor);
    canvas.SetPenColour(RGB(0, 255, 0));
    canvas.MoveTo(0, 5);
    canvas.LineTo(64, 5);
    EXPECT_EQ(bmp.Pixel(30, 5), RGB(0, 255, 0));
    canvas.MoveTo(0, 5);
    canvas.LineTo(64, 5);
    EXPECT_EQ(bmp.Pixel(30, 5), RGB(0, 0, 0));
    canvas.SetPenMode(PenMode::Copy);
    // A full circle when the radial points coincide.
    canvas.SetPenColour(kWhite);
    canvas.Arc(2, 2, 22, 22, 22, 12, 22, 12);
    int ring = CountPixels(bmp, kWhite);
    EXPECT_GT(ring, 50);  // about 2 pi r pixels
    EXPECT_LT(ring, 80);
    EXPECT_EQ(bmp.Pixel(12, 12), kBlack);
    EXPECT_EQ(bmp.Pixel(2, 12), kWhite);
    {
      ScopedFont font(canvas, LogicalFont{.height = 16, .charSet = 1, .face = u"Tahoma"});
      EXPECT_EQ(canvas.Font().height, 16);
      EXPECT_GT(canvas.TextWidth(u"WWW"), canvas.TextWidth(u"W"));
      canvas.SetBrushStyle(BrushStyle::Clear);
      canvas.SetFontColour(RGB(255, 0, 0));
      canvas.TextOut(30, 10, u"W");
    }
    int red = 0;
    for (int y = 10; y < 26; ++y)
      for (int x = 30; x < 46; ++x) red += bmp.Pixel(x, y) == RGB(255, 0, 0);
    EXPECT_GT(red, 5);
  }
  EXPECT_EQ(GetCurrentObject(bmp.Dc(), OBJ_PEN), penBefore);
  EXPECT_EQ(GetCurrentObject(bmp.Dc(), OBJ_FONT), fontBefore);
}

}  // namespace
}  // namespace tesmar

namespace tesmar {
namespace {

// An 8-bit raster as the viewer draws on: black stays black, white stays white and a primary
// colour stays that colour, through the bitmap's colour table.
TEST(GdiCanvas, EightBitRasterKeepsBlackWhiteAndPrimaries) {
  ui::DibBitmap bmp(16, 8, 8);
  GdiCanvas canvas(bmp.Dc());
  PrepareCanvas(canvas, 16, 8, 0);
  EXPECT_EQ(bmp.Pixel(3, 3), RGB(0, 0, 0));
  for (COLORREF c : {RGB(255, 255, 255), RGB(255, 0, 0), RGB(0, 255, 0), RGB(0, 0, 255), RGB(255, 255, 0)}) {
    SCOPED_TRACE(c);
    canvas.SetPixel(5, 5, c);
    EXPECT_EQ(bmp.Pixel(5, 5), c);
  }
}

}  // namespace
}  // namespace tesmar
