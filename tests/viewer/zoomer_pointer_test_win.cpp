// The viewer driven once as a user drives it: the real pointer of the X display turns the
// wheel over the drawing and drags a zoom window with the left button. The pointer is moved by
// xdotool from tests/viewer/real_pointer.sh, which runs this test and answers its hand-shake
// files; run on its own, the test is skipped.
#include <windows.h>

#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <string>

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
}

}  // namespace
}  // namespace tesmar
