// The viewer driven once as a user drives it: the real pointer of the X display (xdotool, a
// Unix program started from this Windows process) turns the wheel over the drawing and drags
// a zoom window with the left button.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>

#include "tests/dxf/dxf_fixture.h"
#include "tests/viewer/zoomer_fixture_win.h"

namespace tesmar {
namespace {

// Runs xdotool with the arguments, letting this thread's window messages through while it
// works; false when it cannot be started or fails.
bool Xdotool(const std::wstring& args) {
  std::wstring cmd = L"Z:\\usr\\bin\\xdotool " + args;
  STARTUPINFOW si{};
  si.cb = sizeof si;
  PROCESS_INFORMATION pi{};
  if (!CreateProcessW(nullptr, cmd.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si, &pi)) return false;
  DWORD code = STILL_ACTIVE;
  while (GetExitCodeProcess(pi.hProcess, &code) && code == STILL_ACTIVE) {
    ui::ProcessMessages();
    Sleep(5);
  }
  CloseHandle(pi.hThread);
  CloseHandle(pi.hProcess);
  return code == 0;
}

// Lets the window system deliver what the pointer did.
void Settle() {
  for (int i = 0; i < 20; ++i) {
    ui::ProcessMessages();
    Sleep(10);
  }
}

class ZoomerPointerTest : public test::ZoomerTest {};

TEST_F(ZoomerPointerTest, RealWheelAndDragOverTheImage) {
  if (!Xdotool(L"version")) GTEST_SKIP() << "xdotool cannot be started from this process";
  Open(Write("plan.dxf", test::DxfPairs(test::kViewerDrawing)));
  SetForegroundWindow(form.hwnd());
  Settle();
  POINT at{200, 150};
  ClientToScreen(form.Image1().hwnd(), &at);
  const TView first = View();
  ASSERT_TRUE(Xdotool(L"mousemove " + std::to_wstring(at.x) + L" " + std::to_wstring(at.y) + L" click 4"));
  Settle();
  EXPECT_NEAR(form.g_cadw, first.g_cadw / 2, 1e-9) << "one notch away from the user halves the view";

  const TView halved = View();
  const std::wstring to = std::to_wstring(at.x + 60) + L" " + std::to_wstring(at.y + 40);
  ASSERT_TRUE(Xdotool(L"mousedown 1 mousemove " + std::to_wstring(at.x + 30) + L" " + std::to_wstring(at.y + 20) +
                      L" mousemove " + to + L" mouseup 1"));
  Settle();
  EXPECT_LT(form.g_cadw, halved.g_cadw / 4) << "a drag right and down zooms to the dragged window";
  EXPECT_EQ(Status().rfind(u"W= ", 0), 0u);
  EXPECT_DOUBLE_EQ(form.saved.g_CadWOld, halved.g_cadw);
}

}  // namespace
}  // namespace tesmar
