// Opening aside under Wine: the window is shown at once and its progress bar moves while the
// file is read on another thread; Esc, closing the window or another open request stop it;
// the reader's messages come afterwards, from the window's own thread; and the drawing handed
// over replaces the previous one whole, with its picks.
#include <windows.h>
#include <commctrl.h>

#include <gtest/gtest.h>

#include "tests/support/dxf_fixture.h"
#include "tests/viewer/zoomer_fixture_win.h"

namespace tesmar {
namespace {

class ZoomerAsideTest : public test::ZoomerTest {
 protected:
  ZoomerAsideTest() { ShowWindow(form.hwnd(), SW_HIDE); }
  int ProgressPos() const { return int(SendMessageW(form.ProgressBar1(), PBM_GETPOS, 0, 0)); }
  void Key(WORD key) { SendMessageW(form.Image1().hwnd(), WM_KEYDOWN, key, 0); }
};

TEST_F(ZoomerAsideTest, ShowsAtOnceWithTheProgressMovingThenTheDrawing) {
  const std::u16string big = WriteLarge("big.dxf", 150000);
  form.OpenRequest(big);
  // Back at once: the window is on screen, the file is still being read.
  EXPECT_TRUE(IsWindowVisible(form.hwnd()));
  EXPECT_TRUE(form.Opening());
  EXPECT_EQ(Caption(), u"big.dxf");
  EXPECT_TRUE(ShowsEmptyFrame());
  // The bar is read after each message: on a busy machine the reports of the whole read and
  // its end may all be waiting together.
  int highest = 0;
  while (form.Opening()) {
    MsgWaitForMultipleObjects(0, nullptr, FALSE, 5, QS_ALLINPUT);
    MSG msg;
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
      TranslateMessage(&msg);
      DispatchMessageW(&msg);
      highest = std::max(highest, ProgressPos());
    }
  }
  EXPECT_GT(highest, 0) << "the bar moved while the file was read";
  EXPECT_EQ(ProgressPos(), 0);
  EXPECT_EQ(form.Model().LineAry.size(), 150000u);
  EXPECT_EQ(Caption(), u"big.dxf ( 999 x 10 )");
  EXPECT_FALSE(ShowsEmptyFrame());
}

// Esc and closing the window stop the read and leave the empty frame; whatever the stopped
// thread still finds is never shown.
TEST_F(ZoomerAsideTest, EscOrClosingStopsTheOpening) {
  const std::u16string big = WriteLarge("big.dxf", 150000);
  for (bool close : {false, true}) {
    SCOPED_TRACE(close ? "close" : "Esc");
    form.OpenRequest(big);
    ASSERT_TRUE(form.Opening());
    if (close) {
      SendMessageW(form.hwnd(), WM_CLOSE, 0, 0);
      EXPECT_FALSE(IsWindowVisible(form.hwnd()));
    } else {
      Key(VK_ESCAPE);
      EXPECT_EQ(form.Edit1().Text(), kOpeningStoppedStatus) << "the status says the opening stopped";
    }
    EXPECT_FALSE(form.Opening());
    SettleOpenings();
    EXPECT_TRUE(form.Model().LineAry.empty());
    EXPECT_TRUE(ShowsEmptyFrame());
    EXPECT_EQ(form.CheckListBox1().Count(), 0);
    EXPECT_EQ(ProgressPos(), 0);
    EXPECT_TRUE(shown.empty());
  }
}

// A second request while the first file is read: the first is stopped and only the second
// drawing is shown, whichever thread ends first.
TEST_F(ZoomerAsideTest, AnotherRequestStopsTheFirst) {
  const std::u16string big = WriteLarge("big.dxf", 150000);
  const std::u16string small = Write("plan.dxf", test::DxfPairs(test::kViewerDrawing));
  form.OpenRequest(big);
  form.OpenRequest(small);
  form.WaitWhileOpening();
  SettleOpenings();
  EXPECT_EQ(Caption(), u"plan.dxf ( 175 x 80 )");
  EXPECT_EQ(form.Model().LineAry.size(), 3u);
  EXPECT_EQ(form.CheckListBox1().Count(), 4);
}

// The reader's message is shown by the window's thread after the read. A request made while
// it is on screen (its box lets messages through) wins: the viewer ends on that drawing alone,
// not on a mix of the two.
TEST_F(ZoomerAsideTest, ReaderMessagesComeAfterTheReadAndANewRequestWins) {
  const std::u16string bad =
      Write("bad.dxf", test::EntitiesSection("0 LINE\n8 0\n10 0\n20 0\n11 5\n21 5\n0 CIRCLE\n8 0\n40 abc\n"));
  const std::u16string good = Write("plan.dxf", test::DxfPairs(test::kViewerDrawing));
  static DWORD boxThread;
  static std::u16string boxText;
  static TMorvikZoomerForm* viewer;
  static std::u16string next;
  boxThread = 0, boxText.clear(), viewer = &form, next = good;
  ui::SeamOverride<ui::MessageBoxFn> box(ui::MessageBoxSeam(), [](HWND, std::u16string_view t, std::u16string_view, UINT) {
    boxThread = GetCurrentThreadId();
    boxText = t;
    if (!next.empty()) viewer->OpenRequest(std::exchange(next, u""));
    return IDOK;
  });
  form.OpenRequest(bad);
  form.WaitWhileOpening();
  SettleOpenings();
  EXPECT_EQ(boxThread, GetCurrentThreadId());
  EXPECT_EQ(boxText.rfind(u"bad.dxf\n", 0), 0u) << Utf16ToUtf8(boxText);
  EXPECT_EQ(Caption(), u"plan.dxf ( 175 x 80 )");
  EXPECT_EQ(form.Model().LineAry.size(), 3u);
  EXPECT_EQ(form.Model().CircleAry.size(), 1u);

  // Without a second request the drawing read up to the fault is shown after the message.
  form.OpenRequest(bad);
  form.WaitWhileOpening();
  EXPECT_EQ(Caption(), u"bad.dxf ( 5 x 5 )");
  EXPECT_EQ(form.Model().LineAry.size(), 1u);
}

// The line picked in one drawing is no partner of a line picked in the next.
TEST_F(ZoomerAsideTest, TheNextDrawingForgetsThePicksAndViews) {
  const std::u16string a = Write("a.dxf", test::EntitiesSection("0 LINE\n8 0\n10 0\n20 0\n11 100\n21 0\n"));
  const std::u16string b = Write("b.dxf", test::EntitiesSection("0 LINE\n8 0\n10 0\n20 10\n11 100\n21 10\n"));
  auto pickLine = [&](double x, double y) {
    const POINT p = ScreenOf(x, y);
    Press(TMouseButton::Left, p.x, p.y, true);
    Release(TMouseButton::Left, p.x, p.y, true);
  };
  ShowWindow(form.hwnd(), SW_SHOWNOACTIVATE);
  Open(a);
  pickLine(50, 0);
  Wheel(POINT{200, 150}, form.Image1().hwnd(), 1);
  ASSERT_NE(form.saved.g_CadWOld, 0);
  Open(b);
  EXPECT_EQ(form.saved.g_CadWOld, 0) << "no previous view of another drawing";
  pickLine(50, 10);
  EXPECT_EQ(Status(), u"[0] 長さ = 100.000");
  // Within one drawing the partner stays.
  pickLine(50, 10);
  EXPECT_EQ(Status(), u"[0] 長さ = 100.000 相互距離 = 0.000");
}

// Showing the window (also with its owner restored from the task bar) opens nothing: the
// zoom the user made stays.
TEST_F(ZoomerAsideTest, ShowingTheWindowOpensNothing) {
  ShowWindow(form.hwnd(), SW_SHOWNOACTIVATE);
  Open(Write("plan.dxf", test::DxfPairs(test::kViewerDrawing)));
  Wheel(POINT{200, 150}, form.Image1().hwnd(), 1);
  const double zoomed = form.g_cadw;
  form.dxfFullName = Write("other.dxf", test::EntitiesSection("0 LINE\n8 0\n10 0\n20 0\n11 1\n21 1\n"));
  SendMessageW(form.hwnd(), WM_SHOWWINDOW, TRUE, SW_PARENTOPENING);
  ShowWindow(form.hwnd(), SW_HIDE);
  ShowWindow(form.hwnd(), SW_SHOWNOACTIVATE);
  ui::ProcessMessages();
  EXPECT_FALSE(form.Opening());
  EXPECT_EQ(form.g_cadw, zoomed);
  EXPECT_EQ(Caption(), u"plan.dxf ( 175 x 80 )");
}

}  // namespace
}  // namespace tesmar
