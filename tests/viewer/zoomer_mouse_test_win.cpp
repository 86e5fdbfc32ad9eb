// The viewer's mouse handling under Wine, driven by the window messages the system sends:
// the wheel, the five drag gestures, the pan preview, the crosshair, pick and measure, and the
// layer panel.
#include <windows.h>
#include <commctrl.h>

#include <gtest/gtest.h>

#include "render/offscreen_win.h"
#include "tests/support/dxf_fixture.h"
#include "tests/viewer/zoomer_fixture_win.h"

namespace tesmar {
namespace {

class ZoomerMouseTest : public test::ZoomerTest {
 protected:
  ZoomerMouseTest() { Open(Write("plan.dxf", test::DxfPairs(test::kViewerDrawing))); }
  void ExpectView(const TView& want) {
    EXPECT_NEAR(form.g_cadpt.x, want.g_cadpt.x, 1e-9);
    EXPECT_NEAR(form.g_cadpt.y, want.g_cadpt.y, 1e-9);
    EXPECT_NEAR(form.g_cadw, want.g_cadw, 1e-9);
    EXPECT_NEAR(form.g_cadh, want.g_cadh, 1e-9);
  }
  void ShiftClick(POINT p) {
    Press(TMouseButton::Left, p.x, p.y, true);
    Release(TMouseButton::Left, p.x, p.y, true);
  }
  // Pixels in which the picture differs from a fresh off-screen redraw of the current view.
  int DifferencesFromExact() {
    const auto exact = OffscreenRedraw(Model(), View(), form.g_CoSw, false, false, form.Drawing().index.get());
    int n = 0;
    for (int y = 0; y < H(); ++y)
      for (int x = 0; x < W(); ++x) n += Pixel(x, y) != exact->PixelColour(x, y);
    return n;
  }
  // One notch to the window, its messages not yet let through.
  void SendWheel(POINT client, int notches) {
    ClientToScreen(form.Image1().hwnd(), &client);
    SendMessageW(form.hwnd(), WM_MOUSEWHEEL, MAKEWPARAM(0, notches * WHEEL_DELTA), MAKELPARAM(client.x, client.y));
  }
  int LayerItem(std::u16string_view name) {
    for (int i = 0; i < form.CheckListBox1().Count(); ++i)
      if (form.CheckListBox1().Item(i) == name) return i;
    return -1;
  }
};

TEST_F(ZoomerMouseTest, WheelZoomsAboutTheCursorAndBack) {
  const TView first = View();
  Wheel({100, 80}, form.Image1().hwnd(), 1);
  EXPECT_NEAR(form.g_cadw, first.g_cadw / 2, 1e-9);
  EXPECT_EQ(form.saved.g_CadWOld, first.g_cadw);
  EXPECT_FALSE(form.mvflag);
  // The status field shows the new size at once, before the pointer moves.
  EXPECT_EQ(Status(), MoveStatus(View(), TPixel{100, 80}));
  Wheel({100, 80}, form.Image1().hwnd(), -1);
  ExpectView(first);
  // Over the layer panel the drawing does not zoom.
  Wheel({20, 20}, form.CheckListBox1().hwnd(), 1);
  ExpectView(first);
}

TEST_F(ZoomerMouseTest, DragGesturesByTheirTenPixelThresholds) {
  const TView first = View();
  // 10 x 10: recentre on the middle of the drag, size kept.
  Drag(TMouseButton::Left, {100, 100}, {110, 110});
  EXPECT_DOUBLE_EQ(form.g_cadw, first.g_cadw);
  EXPECT_NE(form.g_cadpt.x, first.g_cadpt.x);
  EXPECT_EQ(Status().rfind(u"W= ", 0), 0u);
  const TView recentred = View();
  // 11 x 11 with the right button: zoom to that window.
  Drag(TMouseButton::Right, {100, 100}, {111, 111});
  EXPECT_LT(form.g_cadw, first.g_cadw / 10);
  // Previous view, twice: the view before the zoom window both times.
  Drag(TMouseButton::Left, {200, 100}, {150, 150});
  ExpectView(recentred);
  Drag(TMouseButton::Left, {200, 100}, {150, 150});
  ExpectView(recentred);
  // Left and up zooms out, right and up back to the extents.
  Drag(TMouseButton::Left, {200, 200}, {150, 150});
  EXPECT_DOUBLE_EQ(form.g_cadw, 2 * first.g_cadw);
  Drag(TMouseButton::Left, {100, 200}, {150, 150});
  ExpectView(first);
}

// The middle button drags the last picture with the pointer at once, the band it uncovers in
// the background colour, without a pass over the drawing and without changing the view; the
// release draws the whole drawing at its new place.
TEST_F(ZoomerMouseTest, PanPreviewMovesTheLastPictureAndTheReleaseDrawsAll) {
  const TView first = View();
  const POINT line0 = ScreenOf(30, 0), line1 = ScreenOf(30, 40);
  const auto before = Pixels();
  const int redraws = form.ExactRedraws();
  Press(TMouseButton::Middle, 200, 150);
  Move(200 + 20, 150 + 15, false, TMouseButton::Middle, true);
  ExpectView(first);
  EXPECT_EQ(form.ExactRedraws(), redraws) << "the preview draws no record";
  int moved = 0, wrong = 0, band = 0;
  for (int y = 1; y < H() - 1; ++y) {
    for (int x = 1; x < W() - 1; ++x) {
      if (x == 219 || y == 164) continue;  // the crosshair through (X - 1, Y - 1)
      const int sx = x - 20, sy = y - 15;
      const COLORREF want = sx >= 1 && sy >= 1 ? before[std::size_t(sy) * W() + sx] : 0;
      wrong += Pixel(x, y) != want;
      moved += want != 0;
      band += sx < 1 || sy < 1;
    }
  }
  EXPECT_EQ(wrong, 0) << "the picture moved by (20, 15), the band black";
  EXPECT_GT(moved, 200);
  EXPECT_GT(band, 20 * 200);
  EXPECT_NE(Pixel(line0.x + 20, line0.y + 15), 0u) << "line 0 follows the pointer";
  EXPECT_NE(Pixel(line1.x + 20, line1.y + 15), 0u) << "and so does line 1";
  EXPECT_EQ(Pixel(0, 100), RGB(0, 255, 255)) << "the frame stays at the border";
  EXPECT_EQ(Pixel(219, 5), RGB(0, 0x80, 0)) << "the crosshair on the band";
  Release(TMouseButton::Middle, 220, 165);
  EXPECT_EQ(form.ExactRedraws(), redraws + 1);
  EXPECT_EQ(DifferencesFromExact(), 0);
  EXPECT_NEAR(ScreenOf(30, 0).x, line0.x + 20, 1);
}

// A notch shows the last picture scaled about the pointer at once; the exact picture follows
// from the message loop.
TEST_F(ZoomerMouseTest, WheelShowsTheScaledPictureAtOnceThenTheExactOne) {
  const int redraws = form.ExactRedraws();
  const POINT at{150, 100};
  SendWheel(at, -1);  // towards the user: the view twice as large, the picture half the size
  EXPECT_TRUE(form.ExactRedrawDue());
  EXPECT_EQ(form.ExactRedraws(), redraws);
  for (auto [x, y] : {std::pair{30.0, 0.0}, {30.0, 40.0}, {120.0, 20.0}}) {
    const POINT p = ScreenOf(x, y);
    EXPECT_GT(CountNotBlack(p.x - 1, p.y - 1, p.x + 2, p.y + 2), 0) << x << ", " << y << " in the preview";
  }
  // Outside the halved picture only the background.
  const int left = at.x / 2 - 1, top = at.y / 2 - 1, right = (at.x + W()) / 2 + 1, bottom = (at.y + H()) / 2 + 1;
  EXPECT_EQ(CountNotBlack(1, 1, W() - 1, top), 0);
  EXPECT_EQ(CountNotBlack(1, bottom, W() - 1, H() - 1), 0);
  EXPECT_EQ(CountNotBlack(1, 1, left, H() - 1), 0);
  EXPECT_EQ(CountNotBlack(right, 1, W() - 1, H() - 1), 0);
  EXPECT_GT(CountNotBlack(left, top, right, bottom), 100);
  ui::ProcessMessages();
  EXPECT_FALSE(form.ExactRedrawDue());
  EXPECT_EQ(form.ExactRedraws(), redraws + 1);
  EXPECT_EQ(DifferencesFromExact(), 0);
}

// An exact redraw still queued when the drawing goes (another one is opened) draws nothing: it
// was for the drawing that went.
TEST_F(ZoomerMouseTest, AnExactRedrawQueuedForADrawingThatWentDrawsNothing) {
  SendWheel({150, 100}, -1);
  ASSERT_TRUE(form.ExactRedrawDue());
  const int redraws = form.ExactRedraws();
  form.OpenRequest(u"missing.dxf");
  form.WaitWhileOpening();
  ui::ProcessMessages();
  EXPECT_EQ(form.ExactRedraws(), redraws);
  EXPECT_FALSE(form.ExactRedrawDue());
}

// Notches that wait in the queue when the exact redraw is due each move the preview, and one
// redraw shows them all.
TEST_F(ZoomerMouseTest, NotchesWaitingForTheRedrawAreGatheredIntoOne) {
  const TView first = View();
  const int redraws = form.ExactRedraws();
  SendWheel({200, 150}, 1);
  ASSERT_TRUE(form.ExactRedrawDue());
  POINT s{200, 150};
  ClientToScreen(form.Image1().hwnd(), &s);
  for (int i = 0; i < 2; ++i) PostMessageW(form.hwnd(), WM_MOUSEWHEEL, MAKEWPARAM(0, WHEEL_DELTA), MAKELPARAM(s.x, s.y));
  ui::ProcessMessages();
  EXPECT_NEAR(form.g_cadw, first.g_cadw / 8, 1e-9);
  EXPECT_EQ(form.ExactRedraws(), redraws + 1);
  EXPECT_EQ(DifferencesFromExact(), 0);
  // Back out to the first view, whose picture is kept.
  Wheel({200, 150}, form.Image1().hwnd(), -3);
  ExpectView(first);
  EXPECT_EQ(DifferencesFromExact(), 0);
}

// After the layer panel changed what is shown, neither a kept picture nor a preview brings
// back what was hidden.
TEST_F(ZoomerMouseTest, NoKeptPictureShowsAHiddenLayer) {
  const POINT redLine = ScreenOf(120, 20);
  ASSERT_EQ(Pixel(redLine.x, redLine.y), RGB(255, 0, 0));
  Wheel({200, 150}, form.Image1().hwnd(), 1);
  Wheel({200, 150}, form.Image1().hwnd(), -1);
  const int red = LayerItem(u"RED");
  form.CheckListBox1().SetChecked(red, false);
  form.CheckListBox1().SetItemIndex(red);
  form.CheckListBox1Click();
  ASSERT_EQ(Pixel(redLine.x, redLine.y), 0u);
  Press(TMouseButton::Middle, 200, 150);
  Move(210, 157, false, TMouseButton::Middle, true);
  EXPECT_EQ(CountNotBlack(redLine.x + 10 - 1, redLine.y + 7 - 5, redLine.x + 10 + 1, redLine.y + 7 + 5), 0)
      << "the preview";
  Release(TMouseButton::Middle, 200, 150);
  Wheel({200, 150}, form.Image1().hwnd(), 1);
  Wheel({200, 150}, form.Image1().hwnd(), -1);
  EXPECT_EQ(Pixel(redLine.x, redLine.y), 0u);
  EXPECT_EQ(DifferencesFromExact(), 0);
}

TEST_F(ZoomerMouseTest, CrosshairAndCoordinatesFollowThePointer) {
  // (10, 77) lies on the horizontal line only, (50, 10) on the vertical one.
  const COLORREF underH = Pixel(10, 77), underV = Pixel(50, 10);
  Move(51, 78);
  EXPECT_TRUE(form.mvflag);
  EXPECT_EQ(Pixel(10, 77), underH ^ RGB(0, 0x80, 0)) << "xor with dark green through (X - 1, Y - 1)";
  EXPECT_EQ(Pixel(50, 10), underV ^ RGB(0, 0x80, 0));
  const TAcadPoint w = ScreenToWorld(TPixel{51, 78}, View());
  char want[128];
  std::snprintf(want, sizeof want, "X= %.2f , Y= %.2f", w.x, w.y);
  EXPECT_NE(Status().find(Ascii16(want)), std::u16string::npos) << Utf16ToUtf8(Status());
  Move(120, 200);
  EXPECT_EQ(Pixel(10, 77), underH) << "the old crosshair is erased";
  EXPECT_EQ(Pixel(50, 10), underV);
}

TEST_F(ZoomerMouseTest, PickAndMeasure) {
  // Far below the drawing: still the nearest line; its length at the release.
  const POINT below = ScreenOf(50, -30);
  ShiftClick(POINT{below.x, std::min<LONG>(below.y, H() - 2)});
  EXPECT_EQ(Status(), u"[0] 長さ = 100.000");
  // The parallel line: its length and the distance to the first.
  ShiftClick(ScreenOf(50, 38));
  EXPECT_EQ(Status(), u"[0] 長さ = 100.000 相互距離 = 40.000");
  ShiftClick(ScreenOf(50, 38));
  EXPECT_EQ(Status(), u"[0] 長さ = 100.000 相互距離 = 0.000");
  // The perpendicular red line: no mutual distance.
  ShiftClick(ScreenOf(121, 20));
  EXPECT_EQ(Status(), u"[RED] 長さ = 60.000");
  // Circle and text report at the press.
  ShiftClick(ScreenOf(160, 36));
  EXPECT_EQ(Status(), u"[RED] 円半径 = 15.000");
  ShiftClick(ScreenOf(10, 10));
  EXPECT_EQ(Status(), u"[0] 文字高さ = 5.000 \"ABC\"");
  // The highlight is gone after the release: the picture is as before the pick.
  const auto before = Pixels();
  ShiftClick(ScreenOf(160, 36));
  EXPECT_EQ(Pixels(), before);
}

TEST_F(ZoomerMouseTest, HiddenLayersAreNotPickedAndBlinkThenVanish) {
  const int red = LayerItem(u"RED");
  ASSERT_GE(red, 0);
  const POINT redLine = ScreenOf(120, 20);
  EXPECT_EQ(Pixel(redLine.x, redLine.y), RGB(255, 0, 0));
  // Count the image box's repaints: the blink shows the layer three times.
  static int paints = 0;
  paints = 0;
  SetWindowSubclass(form.Image1().hwnd(), [](HWND h, UINT m, WPARAM w, LPARAM l, UINT_PTR, DWORD_PTR) -> LRESULT {
    if (m == WM_PAINT) ++paints;
    return DefSubclassProc(h, m, w, l);
  }, 7, 0);
  form.CheckListBox1().SetChecked(red, false);
  form.CheckListBox1().SetItemIndex(red);
  form.CheckListBox1Click();
  EXPECT_GE(paints, 6);
  EXPECT_EQ(Pixel(redLine.x, redLine.y), 0u) << "redrawn without the layer";
  EXPECT_FALSE(LayerVisible(Model(), u"RED"));
  ShiftClick(ScreenOf(121, 20));
  EXPECT_EQ(Status().find(u"RED"), std::u16string::npos) << Utf16ToUtf8(Status());

  // A layer without entities: the check is stored, the image is not touched.
  const int empty = LayerItem(u"EMPTY");
  const auto before = Pixels();
  paints = 0;
  form.CheckListBox1().SetChecked(empty, false);
  form.CheckListBox1().SetItemIndex(empty);
  form.CheckListBox1Click();
  EXPECT_FALSE(LayerVisible(Model(), u"EMPTY"));
  EXPECT_EQ(paints, 0);
  EXPECT_EQ(Pixels(), before);
  RemoveWindowSubclass(form.Image1().hwnd(), nullptr, 7);
}

TEST_F(ZoomerMouseTest, ColourSwitchTwiceGivesBackTheColours) {
  const POINT red = ScreenOf(120, 20);
  // Inside the frame, leaving out the text: the off-screen raster and the image box may
  // render glyphs differently.
  const POINT t0 = ScreenOf(5, 25), t1 = ScreenOf(35, 5);
  const auto inside = [&] {
    std::vector<COLORREF> v;
    for (int y = 1; y < H() - 1; ++y)
      for (int x = 1; x < W() - 1; ++x)
        if (x < t0.x || x > t1.x || y < t0.y || y > t1.y) v.push_back(Pixel(x, y));
    return v;
  };
  const auto first = inside();
  form.SpeedButton1Click();
  EXPECT_EQ(form.g_CoSw, 1);
  EXPECT_EQ(Pixel(red.x, red.y), RGB(255, 255, 255));
  EXPECT_EQ(Pixel(0, 0), 0u) << "no frame after the switch";
  form.SpeedButton1Click();
  EXPECT_EQ(Pixel(red.x, red.y), RGB(255, 0, 0));
  EXPECT_EQ(inside(), first);
}

// Dragging the splitter narrows the image box; the redraw keeps the centre at the new size.
TEST_F(ZoomerMouseTest, SplitterDragRedrawsTheSameCentreNarrower) {
  const TView first = View();
  const HWND bar = form.Splitter1().hwnd();
  SendMessageW(bar, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(2, 10));
  SendMessageW(bar, WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(-48, 10));
  SendMessageW(bar, WM_LBUTTONUP, 0, MAKELPARAM(-48, 10));
  EXPECT_EQ(W(), first.W - 50);
  EXPECT_EQ(form.Image1().Picture().Width(), W());
  EXPECT_EQ(View().g_cadpt, first.g_cadpt);
  EXPECT_EQ(Pixel(W() - 1, 0), RGB(0, 255, 255)) << "framed at the new size";
}

// Dragging the splitter leaves the side panel as a full repaint paints it: the centred caption
// of the button and the rows of the list are not left in pieces.
TEST_F(ZoomerMouseTest, SplitterDragLeavesNoPiecesInThePanel) {
  const auto snapshot = [](HWND h) {
    RECT r;
    GetClientRect(h, &r);
    ui::DibBitmap copy(r.right, r.bottom);
    HDC dc = GetDC(h);
    BitBlt(copy.Dc(), 0, 0, r.right, r.bottom, dc, 0, 0, SRCCOPY);
    ReleaseDC(h, dc);
    std::vector<COLORREF> px;
    for (int y = 0; y < r.bottom; ++y)
      for (int x = 0; x < r.right; ++x) px.push_back(copy.Pixel(x, y));
    return px;
  };
  RedrawWindow(form.hwnd(), nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW | RDW_ALLCHILDREN);
  const HWND bar = form.Splitter1().hwnd();
  SendMessageW(bar, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(2, 10));
  for (int x = -10; x >= -60; x -= 10) {
    SendMessageW(bar, WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(x, 10));
    RedrawWindow(form.hwnd(), nullptr, nullptr, RDW_UPDATENOW | RDW_ALLCHILDREN);
  }
  SendMessageW(bar, WM_LBUTTONUP, 0, MAKELPARAM(-60, 10));
  RedrawWindow(form.hwnd(), nullptr, nullptr, RDW_UPDATENOW | RDW_ALLCHILDREN);
  for (HWND h : {form.SpeedButton1().hwnd(), form.CheckListBox1().hwnd()}) {
    const auto dragged = snapshot(h);
    RedrawWindow(h, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW | RDW_FRAME);
    EXPECT_EQ(dragged, snapshot(h)) << (h == form.SpeedButton1().hwnd() ? "button" : "list");
  }
}

// With no file name in the caption the mouse changes nothing, and a move empties the status.
TEST_F(ZoomerMouseTest, WithoutAFileTheMouseDoesNothing) {
  Open(u"");
  EXPECT_EQ(Caption(), u"");
  form.Edit1().SetText(u"x");
  const TView before = View();
  Drag(TMouseButton::Left, {100, 100}, {200, 200});
  EXPECT_EQ(View().g_cadw, before.g_cadw);
  EXPECT_EQ(Status(), u"");
  EXPECT_FALSE(form.g_ZoomFlag);
}

}  // namespace
}  // namespace tesmar

namespace tesmar {
namespace {

// A record on a layer the table does not list names its own layer.
using ZoomerPickTest = test::ZoomerTest;

TEST_F(ZoomerPickTest, PickNamesTheRecordsOwnLayerWhenTheTableHasNone) {
  Open(Write("ghost.dxf", test::DxfPairs(R"(
0 SECTION
2 TABLES
0 TABLE
2 LAYER
0 LAYER
2 0
62 7
0 ENDTAB
0 ENDSEC
0 SECTION
2 ENTITIES
0 LINE
8 GHOST
10 0
20 0
11 100
21 0
0 LINE
8 0
10 0
20 50
11 100
21 50
0 ENDSEC
0 EOF
)")));
  const POINT p = ScreenOf(50, 0);
  Press(TMouseButton::Left, p.x, p.y, true);
  Release(TMouseButton::Left, p.x, p.y, true);
  EXPECT_EQ(Status(), u"[GHOST] 長さ = 100.000");
}

}  // namespace
}  // namespace tesmar
