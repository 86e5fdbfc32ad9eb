// The viewer driven once as a user drives it: the real pointer of the X display turns the
// wheel over the drawing, drags a zoom window with the left button and pans with the middle
// one. The pointer is moved by
// xdotool from tests/viewer/real_pointer.sh, which runs this test and answers its hand-shake
// files; run on its own, the test is skipped.
#include <windows.h>

#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <string>

#include "render/offscreen_win.h"
#include "tests/support/dxf_fixture.h"
#include "tests/viewer/zoomer_fixture_win.h"

namespace tesmar {
namespace {

// Lets the window system deliver what the pointer did.
void Settle(int rounds = 20) {
  for (int i = 0; i < rounds; ++i) {
    ui::ProcessMessages();
    Sleep(10);
  }
}

// Waits (letting messages through) until the driver has written `file`; false after 30 s.
bool AwaitFile(const std::filesystem::path& file) {
  for (int i = 0; i < 3000; ++i) {
    if (std::filesystem::exists(file)) return true;
    Settle(1);
  }
  return false;
}

class ZoomerPointerTest : public test::ZoomerTest {};

TEST_F(ZoomerPointerTest, RealWheelAndDragOverTheImage) {
  const char* handshake = std::getenv("TESMAR_POINTER_HANDSHAKE");
  if (!handshake) GTEST_SKIP() << "the real pointer is driven by tests/viewer/real_pointer.sh (xdotool)";
  std::string unix = handshake;
  const std::filesystem::path hand(unix[0] == '/' ? "Z:" + unix : unix);
  Open(Write("plan.dxf", test::DxfPairs(test::kViewerDrawing)));
  SetForegroundWindow(form.hwnd());
  Settle();
  POINT at{200, 150};
  ClientToScreen(form.Image1().hwnd(), &at);
  const TView first = View();
  std::ofstream(hand) << at.x << ' ' << at.y << '\n';

  // The driver moves the pointer to that point and turns the wheel one notch away from the user.
  ASSERT_TRUE(AwaitFile(hand.string() + ".wheeled"));
  Settle();
  EXPECT_NEAR(form.g_cadw, first.g_cadw / 2, 1e-9) << "one notch away from the user halves the view";
  const TView halved = View();
  std::ofstream(hand.string() + ".ready") << "drag\n";

  // Then it drags 60 x 40 pixels right and down with the left button.
  ASSERT_TRUE(AwaitFile(hand.string() + ".dragged"));
  Settle();
  EXPECT_LT(form.g_cadw, halved.g_cadw / 4) << "a drag right and down zooms to the dragged window";
  EXPECT_EQ(Status().rfind(u"W= ", 0), 0u);
  EXPECT_DOUBLE_EQ(form.saved.g_CadWOld, halved.g_cadw);

  // Back to the whole drawing; then it holds the middle button down and moves 40 x 30 pixels:
  // the last picture follows the pointer at once, and the drawing is drawn anew only at the
  // release.
  SendMessageW(form.hwnd(), WM_KEYDOWN, VK_HOME, 0);
  Settle();
  const TView zoomed = View();
  const auto exact = OffscreenRedraw(Model(), zoomed, form.g_CoSw, false, false, form.Drawing().index.get());
  const int redraws = form.ExactRedraws();
  std::ofstream(hand.string() + ".pan") << "pan\n";
  ASSERT_TRUE(AwaitFile(hand.string() + ".panning"));
  Settle();
  EXPECT_EQ(form.ExactRedraws(), redraws) << "no pass over the drawing while the button is held";
  EXPECT_EQ(View().g_cadpt, zoomed.g_cadpt);
  int moved = 0, wrong = 0;
  for (int y = 31; y < H() - 1; ++y) {
    for (int x = 41; x < W() - 1; ++x) {
      if (x == 239 || y == 179) continue;  // the crosshair at the pointer
      const COLORREF was = exact->PixelColour(x - 40, y - 30);
      wrong += Pixel(x, y) != was;
      moved += was != 0;
    }
  }
  EXPECT_EQ(wrong, 0) << "the picture moved by (40, 30)";
  EXPECT_GT(moved, 100);
  EXPECT_EQ(CountNotBlack(1, 1, 239, 30) + CountNotBlack(240, 1, W() - 1, 30), 0) << "the band above is black";
  EXPECT_EQ(CountNotBlack(1, 31, 40, 179) + CountNotBlack(1, 180, 40, H() - 1), 0) << "and so is the band on the left";
  std::ofstream(hand.string() + ".release") << "release\n";
  ASSERT_TRUE(AwaitFile(hand.string() + ".panned"));
  Settle();
  EXPECT_EQ(form.ExactRedraws(), redraws + 1);
  EXPECT_NE(View().g_cadpt, zoomed.g_cadpt);
}

}  // namespace
}  // namespace tesmar
