#include "viewer/navigation.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>

namespace tesmar {
namespace {

TView View(double cx, double cy, double w, double h, int W = 400, int H = 301) {
  TView v;
  v.g_cadpt = {cx, cy, 0};
  v.g_cadw = w, v.g_cadh = h;
  v.g_DispScale = 0.95;
  v.W = W, v.H = H;
  return v;
}

void ExpectSameView(const TView& a, const TView& b) {
  EXPECT_NEAR(a.g_cadpt.x, b.g_cadpt.x, 1e-9);
  EXPECT_NEAR(a.g_cadpt.y, b.g_cadpt.y, 1e-9);
  EXPECT_NEAR(a.g_cadw, b.g_cadw, 1e-9);
  EXPECT_NEAR(a.g_cadh, b.g_cadh, 1e-9);
}

// The world point under the cursor stays there, and up then down on one pixel gives back the
// first view, wherever the cursor is (odd image height included).
TEST(WheelZoom, KeepsThePointUnderTheCursorAndUndoes) {
  const TPixel cursors[] = {{200, 150}, {0, 0}, {399, 300}, {37, 260}};
  for (TPixel c : cursors) {
    SCOPED_TRACE(testing::Message() << c.x << "," << c.y);
    const TView first = View(1000, -20, 420, 297);
    TView v = first;
    TSavedView saved;
    const TAcadPoint under = ScreenToWorld(c, v);
    const TBox extents{{790, -168, 0}, {1210, 129, 0}};
    EXPECT_TRUE(WheelZoom(v, saved, c, /*towardsUser=*/false, extents));
    EXPECT_DOUBLE_EQ(v.g_cadw, 210);
    EXPECT_NEAR(ScreenToWorld(c, v).x, under.x, 1e-9);
    EXPECT_NEAR(ScreenToWorld(c, v).y, under.y, 1e-9);
    ExpectSameView(TView{saved.g_CadPtOld, saved.g_CadWOld, saved.g_CadHOld, 0.95, 400, 301}, first);
    EXPECT_TRUE(WheelZoom(v, saved, c, /*towardsUser=*/true, extents));
    ExpectSameView(v, first);
  }
}

// 200 notches each way, for drawings of every size: the view stops within a millionth and a
// million times the extents, stays finite, and the wheel still turns back from the bound.
TEST(WheelZoom, StaysWithinAMillionTimesTheExtentsEachWay) {
  const TBox drawings[] = {{{0, 0, 0}, {420, 297, 0}}, {{1e300, 1e300, 0}, {3e300, 2e300, 0}},
                           {{-1e-9, 0, 0}, {1e-9, 1e-9, 0}}};
  for (const TBox& e : drawings) {
    SCOPED_TRACE(e.max.x);
    const double whole = std::max(e.max.x - e.min.x, e.max.y - e.min.y);
    for (bool towardsUser : {true, false}) {
      TView v = View((e.min.x + e.max.x) / 2, (e.min.y + e.max.y) / 2, e.max.x - e.min.x, e.max.y - e.min.y);
      TSavedView saved;
      int taken = 0;
      for (int n = 0; n < 200; ++n) taken += WheelZoom(v, saved, {37, 260}, towardsUser, e);
      EXPECT_LT(taken, 200);
      const double side = std::max(v.g_cadw, v.g_cadh);
      EXPECT_TRUE(std::isfinite(v.g_cadpt.x) && std::isfinite(v.g_cadpt.y));
      EXPECT_LE(side, whole * kZoomRange);
      EXPECT_GE(side, whole / kZoomRange);
      if (towardsUser) {
        EXPECT_GT(side * 2, whole * kZoomRange) << "stopped at the last step that fits";
      } else {
        EXPECT_LT(side / 2, whole / kZoomRange) << "stopped at the last step that fits";
      }
      EXPECT_TRUE(WheelZoom(v, saved, {200, 150}, !towardsUser, e)) << "turning back is free";
    }
  }
  // A drawing without size does not zoom at all.
  TView v = View(5, 5, 0, 0);
  TSavedView saved;
  EXPECT_FALSE(WheelZoom(v, saved, {10, 10}, false, TBox{{5, 5, 0}, {5, 5, 0}}));
  EXPECT_EQ(v.g_cadw, 0);
}

// A zoom window below the smallest view is widened to it about its centre; a zoom out beyond
// the largest view is refused and leaves the saved view alone.
TEST(Gestures, ZoomWindowAndZoomOutKeepTheBounds) {
  const TBox extents{{0, 0, 0}, {100, 50, 0}};
  TView v = View(50, 25, 100 / kZoomRange * 1.5, 50 / kZoomRange * 1.5);
  TSavedView saved;
  ApplyGesture(TGesture::ZoomWindow, v, saved, {100, 100}, {120, 120}, extents);
  EXPECT_NEAR(std::max(v.g_cadw, v.g_cadh), 100 / kZoomRange, 1e-15);
  EXPECT_NEAR(v.g_cadw / v.g_cadh, 1.0, 1e-9) << "the dragged window's shape is kept";
  TView wide = View(50, 25, 100 * kZoomRange * 0.6, 50 * kZoomRange * 0.6);
  saved = {};
  ApplyGesture(TGesture::ZoomOut, wide, saved, {100, 100}, {50, 50}, extents);
  EXPECT_DOUBLE_EQ(wide.g_cadw, 100 * kZoomRange * 0.6);
  EXPECT_EQ(saved.g_CadWOld, 0);
}

TEST(ViewerTexts, LargeNumbersStayReadable) {
  struct Case {
    double v;
    int decimals;
    const char16_t* want;
  } cases[] = {{420, 0, u"420"},          {12.345, 2, u"12.35"},          {-0.5, 3, u"-0.500"},
               {999999999999.0, 2, u"999999999999.00"}, {1e12, 2, u"1e+12"}, {-2.5e300, 0, u"-2.5e+300"},
               {1.234567891e301, 3, u"1.23457e+301"}};
  for (const Case& c : cases) EXPECT_EQ(ReadableNumber(c.v, c.decimals), c.want) << c.v;
  EXPECT_EQ(OpenedCaption(u"far.dxf", 2e300, 1e300), u"far.dxf ( 2e+300 x 1e+300 )");
}

TEST(Gestures, TenPixelThresholdsChooseTheGesture) {
  struct Case {
    bool middle;
    int dx, dy;
    TGesture want;
  } cases[] = {
      {false, 10, 10, TGesture::Recentre},     {false, 11, 11, TGesture::ZoomWindow},
      {false, 11, -11, TGesture::ZoomExtents}, {false, 11, -10, TGesture::Recentre},
      {false, -11, -11, TGesture::ZoomOut},    {false, -11, 11, TGesture::PreviousView},
      {false, -10, 11, TGesture::Recentre},    {false, 0, 0, TGesture::Recentre},
      {true, -50, 50, TGesture::Pan},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << c.middle << " " << c.dx << "," << c.dy);
    EXPECT_EQ(ClassifyRelease(c.middle, c.dx, c.dy), c.want);
  }
}

TEST(Gestures, ZoomWindowThenPreviousViewTwice) {
  const TView first = View(0, 0, 400, 300, 400, 300);
  TView v = first;
  TSavedView saved;
  const TBox extents{{-200, -150, 0}, {200, 150, 0}};
  const TPixel down{100, 50}, up{300, 250};
  const TAcadPoint a = ScreenToWorld(down, v), b = ScreenToWorld(up, v);
  EXPECT_FALSE(ApplyGesture(TGesture::ZoomWindow, v, saved, down, up, extents));
  EXPECT_DOUBLE_EQ(v.g_cadw, b.x - a.x);
  EXPECT_DOUBLE_EQ(v.g_cadh, a.y - b.y);
  EXPECT_DOUBLE_EQ(v.g_cadpt.x, (a.x + b.x) / 2);
  for (int i = 0; i < 2; ++i) {
    ApplyGesture(TGesture::PreviousView, v, saved, {5, 5}, {5, 5}, extents);
    ExpectSameView(v, first);
  }
  // Zoom to extents asks for a redraw of everything; zoom out doubles about the same centre.
  v = View(50, 50, 10, 10);
  EXPECT_TRUE(ApplyGesture(TGesture::ZoomExtents, v, saved, down, up, extents));
  ExpectSameView(v, View(0, 0, 400, 300));
  ApplyGesture(TGesture::ZoomOut, v, saved, down, up, extents);
  ExpectSameView(v, View(0, 0, 800, 600));
}

// A click without movement recentres on the clicked point; the pan moves the drawing with the
// pointer, and its preview shows the same centre without changing the view.
TEST(Gestures, RecentreAndPan) {
  TView v = View(0, 0, 400, 300, 400, 300);
  TSavedView saved;
  const TPixel p{300, 100};
  const TAcadPoint clicked = ScreenToWorld(p, v);
  ApplyGesture(TGesture::Recentre, v, saved, p, p, {});
  EXPECT_NEAR(v.g_cadpt.x, clicked.x, 1e-9);
  EXPECT_NEAR(v.g_cadpt.y, clicked.y, 1e-9);

  v = View(0, 0, 400, 300, 400, 300);
  const double s = PixelSize(v);
  const TAcadPoint preview = PanPreviewCentre(v, {100, 100}, {130, 80});
  EXPECT_DOUBLE_EQ(v.g_cadpt.x, 0);
  EXPECT_NEAR(preview.x, -30 * s, 1e-9);
  EXPECT_NEAR(preview.y, -20 * s, 1e-9);
  ApplyGesture(TGesture::Pan, v, saved, {100, 100}, {130, 80}, {});
  EXPECT_NEAR(v.g_cadpt.x, preview.x, 1e-9);
  EXPECT_NEAR(v.g_cadpt.y, preview.y, 1e-9);
}

TEST(ViewerTexts, StatusAndCaption) {
  TView v = View(0, 0, 400, 300, 400, 300);
  v.g_DispScale = 1;
  EXPECT_EQ(MoveStatus(v, {300, 50}), u"W= 400.00 , H= 300.00 - X= 100.00 , Y= 100.00");
  EXPECT_EQ(ViewSizeStatus(v), u"W= 400.00 , H= 300.00");
  // An empty view: one world unit per pixel (and the display share).
  v.g_cadw = v.g_cadh = 0;
  v.g_DispScale = 0.5;
  EXPECT_EQ(ViewSizeStatus(v), u"W= 800.00 , H= 600.00");
  EXPECT_EQ(OpenStatus(0, 0, 0.016), u"dX=0.00, dY=0.00 (0.02sec)");
  EXPECT_EQ(OpenedCaption(u"plan.dxf", 420, 297), u"plan.dxf ( 420 x 297 )");
  EXPECT_DOUBLE_EQ(ElapsedSeconds(0xFFFFFF00u, 0x00000100u), 0.512);
}

}  // namespace
}  // namespace tesmar
