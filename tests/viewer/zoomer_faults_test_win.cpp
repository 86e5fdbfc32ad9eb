// The viewer's keys and the faults a user met, under Wine: the keyboard of the image and the
// layer list, the status after a wheel notch, a record on a layer the table lacks, the bounds
// of the zoom with far coordinates, and one repaint per drawing pass.
#include <windows.h>
#include <commctrl.h>

#include <gtest/gtest.h>

#include <cmath>

#include "render/canvas_gdi_win.h"
#include "render/image_canvas_win.h"
#include "tests/support/dxf_fixture.h"
#include "tests/viewer/zoomer_fixture_win.h"

namespace tesmar {
namespace {

class ZoomerFaultsTest : public test::ZoomerTest {
 protected:
  ZoomerFaultsTest() { Open(Write("plan.dxf", test::DxfPairs(test::kViewerDrawing))); }
  void Key(HWND to, WORD key) { SendMessageW(to, WM_KEYDOWN, key, 0); }
  int LayerItem(std::u16string_view name) {
    for (int i = 0; i < form.CheckListBox1().Count(); ++i)
      if (form.CheckListBox1().Item(i) == name) return i;
    return -1;
  }
};

// + and - zoom about the centre, Home shows the whole drawing, Backspace the previous view,
// from the image and from the layer list alike; Esc takes a drag back.
TEST_F(ZoomerFaultsTest, KeysZoomShowAllGoBackAndTakeADragBack) {
  const TView first = View();
  for (HWND to : {form.Image1().hwnd(), form.CheckListBox1().hwnd()}) {
    SCOPED_TRACE(to == form.Image1().hwnd() ? "image" : "list");
    Key(to, VK_OEM_PLUS);
    EXPECT_DOUBLE_EQ(form.g_cadw, first.g_cadw / 2);
    EXPECT_EQ(View().g_cadpt, first.g_cadpt) << "about the centre";
    EXPECT_EQ(Status().rfind(u"W= ", 0), 0u);
    Key(to, VK_ADD);
    EXPECT_DOUBLE_EQ(form.g_cadw, first.g_cadw / 4);
    Key(to, VK_SUBTRACT);
    EXPECT_DOUBLE_EQ(form.g_cadw, first.g_cadw / 2);
    Key(to, VK_BACK);
    EXPECT_DOUBLE_EQ(form.g_cadw, first.g_cadw / 4) << "the view before the last step";
    Key(to, VK_HOME);
    EXPECT_EQ(View().g_cadw, first.g_cadw);
    EXPECT_EQ(View().g_cadpt, first.g_cadpt);
  }
  form.FormResize();
  const auto before = Pixels();
  Press(TMouseButton::Left, 100, 100);
  Move(200, 200, false, TMouseButton::Left, true);
  Key(form.Image1().hwnd(), VK_ESCAPE);
  EXPECT_FALSE(form.g_ZoomFlag);
  EXPECT_EQ(Pixels(), before) << "the rubber band is gone";
  Release(TMouseButton::Left, 200, 200);
  EXPECT_EQ(View().g_cadw, first.g_cadw) << "the release after Esc zooms nothing";
  EXPECT_NE(std::u16string(TMorvikZoomerForm::KeysHelp()).find(u"Backspace"), std::u16string::npos);
}

// After a notch the status tells the new width and height and what lies under the pointer.
TEST_F(ZoomerFaultsTest, TheStatusFollowsTheWheel) {
  Move(150, 100);
  const std::u16string before = Status();
  Wheel({150, 100}, form.Image1().hwnd(), 1);
  EXPECT_NE(Status(), before);
  EXPECT_EQ(Status(), MoveStatus(View(), TPixel{150, 100}));
}

// A record whose layer the table does not name is measured with its own layer's name.
TEST_F(ZoomerFaultsTest, ARecordOnALayerTheTableLacksShowsItsLayer) {
  Open(Write("ghost.dxf", test::EntitiesSection("0 CIRCLE\n8 GHOST\n10 0\n20 0\n40 5\n0 LINE\n8 GHOST\n10 -5\n20 -9\n11 5\n21 -9\n")));
  // The reader adds the names it meets to the table; the records keep their index into it,
  // which here points past its end.
  form.Model().LayerAry.clear();
  struct Case {
    double x, y;
    const char16_t* want;
  } cases[] = {{0, 5, u"[GHOST] 円半径 = 5.000"}, {0, -9, u"[GHOST] 長さ = 10.000"}};
  for (const Case& c : cases) {
    const POINT p = ScreenOf(c.x, c.y);
    Press(TMouseButton::Left, p.x, p.y, true);
    Release(TMouseButton::Left, p.x, p.y, true);
    EXPECT_EQ(Status(), c.want);
  }
}

// Space and the arrow keys work the list as a click does; a double-click toggles once.
TEST_F(ZoomerFaultsTest, TheLayerListAnswersKeysAndADoubleClickTogglesOnce) {
  ui::CheckListBox& list = form.CheckListBox1();
  const HWND h = list.hwnd();
  const int red = LayerItem(u"RED");
  list.SetItemIndex(red - 1);
  list.SetChecked(red, false);  // a mark not yet applied
  Key(h, VK_DOWN);
  EXPECT_EQ(list.ItemIndex(), red);
  EXPECT_FALSE(LayerVisible(form.Model(), u"RED")) << "the arrow applied the marks";
  Key(h, VK_SPACE);
  EXPECT_TRUE(list.Checked(red));
  EXPECT_TRUE(LayerVisible(form.Model(), u"RED"));
  SendMessageW(h, WM_CHAR, L' ', 0);
  EXPECT_EQ(list.ItemIndex(), red) << "Space does not search";

  RECT item;
  SendMessageW(h, LB_GETITEMRECT, WPARAM(red), reinterpret_cast<LPARAM>(&item));
  const LPARAM box = MAKELPARAM(item.left + 4, (item.top + item.bottom) / 2);
  SendMessageW(h, WM_LBUTTONDOWN, MK_LBUTTON, box);
  SendMessageW(h, WM_LBUTTONUP, 0, box);
  SendMessageW(h, WM_LBUTTONDBLCLK, MK_LBUTTON, box);
  SendMessageW(h, WM_LBUTTONUP, 0, box);
  EXPECT_FALSE(list.Checked(red));
  EXPECT_FALSE(LayerVisible(form.Model(), u"RED"));
}

// The blink of a layer draws many primitives; the image box is invalidated once per pass.
TEST_F(ZoomerFaultsTest, ALayerBlinkInvalidatesOncePerPass) {
  std::string body;
  for (int i = 0; i < 400; ++i) body += "0 LINE\n8 0\n10 " + std::to_string(i) + "\n20 0\n11 " + std::to_string(i) + "\n21 50\n";
  Open(Write("many.dxf", test::EntitiesSection(body)));
  auto& canvas = static_cast<GdiCanvas&>(CanvasOf(form.Image1()));
  int invalidations = 0;
  const auto repaint = canvas.changed;
  canvas.changed = [&] {
    ++invalidations;
    repaint();
  };
  form.CheckListBox1().SetItemIndex(LayerItem(u"0"));
  form.CheckListBox1Click();
  EXPECT_GE(invalidations, 6);
  EXPECT_LE(invalidations, 7) << "three blinks of two passes and the redraw";
}

// Far coordinates: the caption and status stay short, the line stays in sight after three
// notches each way, and 200 notches each way keep the view within the bounds.
TEST_F(ZoomerFaultsTest, FarCoordinatesStayReadableAndInSight) {
  Open(Write("far.dxf", test::EntitiesSection("0 LINE\n8 0\n10 1e300\n20 1e300\n11 3e300\n21 2e300\n")));
  EXPECT_EQ(Caption(), u"far.dxf ( 2e+300 x 1e+300 )");
  EXPECT_LT(Status().size(), 60u) << Utf16ToUtf8(Status());
  const TView first = View();
  for (int notches : {-3, 3, 3, -3}) {
    Wheel({200, 150}, form.Image1().hwnd(), notches);
    EXPECT_GT(CountNotBlack(1, 1, W() - 1, H() - 1), 0) << "after " << notches;
  }
  Move(120, 80);
  EXPECT_LT(Status().size(), 80u) << Utf16ToUtf8(Status());
  for (int notches : {200, -400}) {
    for (int n = 0; n < std::abs(notches); ++n) Wheel({37, 201}, form.Image1().hwnd(), notches > 0 ? 1 : -1);
    const double side = std::max(form.g_cadw, form.g_cadh);
    EXPECT_TRUE(std::isfinite(form.g_cadpt.x) && std::isfinite(form.g_cadpt.y));
    EXPECT_GE(side, first.g_cadw / kZoomRange);
    EXPECT_LE(side, first.g_cadw * kZoomRange);
  }
}

}  // namespace
}  // namespace tesmar
