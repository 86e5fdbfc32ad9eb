#include "library/preview_fit.h"

#include <gtest/gtest.h>

#include <algorithm>

namespace tesmar {
namespace {

constexpr Rgb kRed = MakeRgb(255, 0, 0);
constexpr Rgb kGreen = MakeRgb(0, 255, 0);

RgbImage Corners(Rgb tl, Rgb tr, Rgb bl, Rgb br) {
  RgbImage img(5, 4, kGreen);
  img.At(0, 0) = tl, img.At(4, 0) = tr, img.At(0, 3) = bl, img.At(4, 3) = br;
  return img;
}

TEST(PreviewFit, BackgroundIsTheColourMostCornersShare) {
  struct Case {
    const char* what;
    RgbImage img;
    Rgb expected;
  } cases[] = {
      {"all alike", Corners(kRgbWhite, kRgbWhite, kRgbWhite, kRgbWhite), kRgbWhite},
      {"three of four", Corners(kRed, kRgbBlack, kRgbBlack, kRgbBlack), kRgbBlack},
      {"two pairs: the earlier corner wins", Corners(kRed, kRgbBlack, kRgbBlack, kRed), kRed},
      {"two pairs, other order", Corners(kRgbBlack, kRed, kRed, kRgbBlack), kRgbBlack},
      {"a pair beats singles", Corners(kRed, kGreen, kRgbBlack, kRgbBlack), kRgbBlack},
      {"all different", Corners(kRed, kGreen, kRgbBlack, kRgbWhite), kRed},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    EXPECT_EQ(CornerBackground(c.img), c.expected);
  }
}

TEST(PreviewFit, SwapTouchesOnlyExactBlackAndWhite) {
  RgbImage img(4, 1);
  img.pixels = {kRgbBlack, kRgbWhite, MakeRgb(254, 255, 255), kRed};
  SwapBlackAndWhite(img);
  EXPECT_EQ(img.pixels, (std::vector<Rgb>{kRgbWhite, kRgbBlack, MakeRgb(254, 255, 255), kRed}));
}

int CountColour(const RgbImage& img, Rgb c) { return int(std::count(img.pixels.begin(), img.pixels.end(), c)); }

TEST(PreviewFit, PreviewOnWhitePaperIsShownOnBlackWithItsLinesWhite) {
  RgbImage preview(40, 20, kRgbWhite);
  for (int x = 5; x < 35; ++x) preview.At(x, 10) = kRgbBlack;  // a black line
  preview.At(20, 5) = kRed;
  RgbImage cell(40, 40, kRgbBlack);
  FitPreviewIntoCell(preview, cell, false);
  EXPECT_EQ(CornerBackground(cell), kRgbBlack);
  EXPECT_GT(CountColour(cell, kRgbWhite), 20) << "the black line is drawn in white";
  EXPECT_GT(CountColour(cell, kRed), 0) << "other colours stay";
  // The white paper became black: no white outside the line's rows.
  for (int y = 0; y < cell.height; ++y)
    for (int x = 0; x < cell.width; ++x)
      if (cell.At(x, y) == kRgbWhite) {
        EXPECT_NEAR(y, 20, 2) << x;
      }
}

TEST(PreviewFit, PreviewOnBlackIsShownAsStored) {
  RgbImage preview(30, 30, kRgbBlack);
  for (int y = 3; y < 27; ++y) preview.At(15, y) = kRgbWhite;
  RgbImage cell(30, 30, kRgbBlack);
  FitPreviewIntoCell(preview, cell, false);
  EXPECT_GT(CountColour(cell, kRgbWhite), 15);
  EXPECT_EQ(CountColour(cell, kRgbWhite) + CountColour(cell, kRgbBlack), 900);
}

TEST(PreviewFit, DrawnAreaIsFoundRowByRow) {
  RgbImage img(20, 10, kRgbBlack);
  for (int y = 3; y <= 6; ++y)
    for (int x = 5; x <= 12; ++x) img.At(x, y) = kRgbWhite;
  DrawnArea a = FindDrawnArea(img, kRgbBlack);
  EXPECT_EQ(a.left, 5);
  EXPECT_EQ(a.top, 3);
  EXPECT_EQ(a.right, 12);
  EXPECT_EQ(a.bottom, 6);

  // Drawn pixels on the edges pull the bounds to the edges.
  RgbImage edge(6, 5, kRgbBlack);
  edge.At(0, 0) = kRed;
  edge.At(5, 4) = kRed;
  a = FindDrawnArea(edge, kRgbBlack);
  EXPECT_EQ(a.left, 0);
  EXPECT_EQ(a.top, 0);
  EXPECT_EQ(a.right, 5);
  EXPECT_EQ(a.bottom, 4);

  // Nothing drawn: the search leaves its starting values behind.
  a = FindDrawnArea(RgbImage(6, 5, kRgbBlack), kRgbBlack);
  EXPECT_EQ(a.left, 5);
  EXPECT_EQ(a.top, 4);
  EXPECT_EQ(a.right, 0);
  EXPECT_EQ(a.bottom, 0);
}

TEST(PreviewFit, CropKeepsOnePixelOfMarginAndFillsNinetyPercent) {
  const DrawnArea area{5, 3, 12, 6};
  PreviewPlacement p = PlacePreview(20, 10, area, 100, 100, true);
  EXPECT_EQ(p.srcLeft, 5);
  EXPECT_EQ(p.srcTop, 3);
  EXPECT_EQ(p.srcWidth, 9);   // right - (left - 1) + 1
  EXPECT_EQ(p.srcHeight, 5);
  EXPECT_EQ(p.dstWidth, 90);  // 90 % in the limiting direction
  EXPECT_EQ(p.dstHeight, 50);
  EXPECT_EQ(p.dstLeft, 5);
  EXPECT_EQ(p.dstTop, 25);
}

TEST(PreviewFit, WholePreviewWhenClipIsOffOrLittleIsDrawn) {
  struct Case {
    const char* what;
    DrawnArea area;
    bool clip;
  } cases[] = {
      {"clip off", {5, 3, 12, 6}, false},
      {"fewer than 3 drawn columns", {7, 2, 7, 8}, true},
      {"two columns", {7, 2, 8, 8}, true},
      {"fewer than 3 drawn rows", {2, 4, 15, 4}, true},
      {"nothing drawn", {19, 9, 0, 0}, true},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    PreviewPlacement p = PlacePreview(20, 10, c.area, 100, 100, c.clip);
    EXPECT_EQ(p.dstWidth, 90);  // scale from the whole 20 x 10
    EXPECT_EQ(p.dstHeight, 45);
    EXPECT_EQ(p.srcLeft, 1);
    EXPECT_EQ(p.srcTop, 1);
    EXPECT_EQ(p.srcWidth, 19);  // cut so that the rectangle from (1, 1) stays inside
    EXPECT_EQ(p.srcHeight, 9);
  }
  // Three columns are enough to crop.
  PreviewPlacement p = PlacePreview(20, 10, {7, 2, 9, 8}, 100, 100, true);
  EXPECT_EQ(p.srcWidth, 4);
}

TEST(PreviewFit, ShrinkKeepsOnePixelLightLines) {
  RgbImage src(100, 100, kRgbBlack);
  for (int i = 0; i < 100; ++i) {
    src.At(53, i) = kRgbWhite;            // vertical, one pixel wide
    src.At(i, 71) = MakeRgb(0, 0, 200);  // horizontal, dark blue
  }
  RgbImage dst(10, 10, kRed);
  StretchKeepingLight(src, 0, 0, 100, 100, dst, 0, 0, 10, 10);
  for (int y = 0; y < 10; ++y) {
    SCOPED_TRACE(y);
    EXPECT_EQ(dst.At(5, y) & kRgbWhite, kRgbWhite);
    EXPECT_EQ(dst.At(2, y), y == 7 ? MakeRgb(0, 0, 200) : kRgbBlack);
  }
  // Enlarging repeats pixels.
  RgbImage two(2, 1);
  two.pixels = {kRed, kGreen};
  RgbImage big(6, 2, kRgbBlack);
  StretchKeepingLight(two, 0, 0, 2, 1, big, 0, 0, 6, 2);
  EXPECT_EQ(big.pixels, (std::vector<Rgb>{kRed, kRed, kRed, kGreen, kGreen, kGreen,
                                           kRed, kRed, kRed, kGreen, kGreen, kGreen}));
}

TEST(PreviewFit, TinyPreviewsDoNotBreakTheFit) {
  for (auto [w, h] : {std::pair{1, 1}, {1, 7}, {7, 1}, {2, 2}}) {
    SCOPED_TRACE(std::to_string(w) + "x" + std::to_string(h));
    RgbImage preview(w, h, kRed);
    RgbImage cell(43, 43, kRgbBlack);
    FitPreviewIntoCell(preview, cell, true);
    ASSERT_EQ(cell.pixels.size(), 43u * 43u);
    // Only the preview's colour and the cell's black: no stray or uninitialised pixels.
    for (const Rgb& p : cell.pixels) ASSERT_TRUE(p == kRed || p == kRgbBlack);
  }
}

TEST(PreviewFit, PlaceholderCrossNearTheTopLeft) {
  RgbImage cell(48, 48, kRgbBlack);
  DrawPlaceholderCross(cell);  // d = 6
  for (int i = 0; i < 6; ++i) {
    EXPECT_EQ(cell.At(6 + i, 6 + i), kAqua);
    EXPECT_EQ(cell.At(12 - i, 6 + i), kAqua);
  }
  EXPECT_EQ(cell.At(12, 12), kRgbBlack) << "a pen line leaves out its last point";
  EXPECT_EQ(cell.At(6, 12), kRgbBlack);
  EXPECT_EQ(CountColour(cell, kAqua), 11);
}

}  // namespace
}  // namespace tesmar
