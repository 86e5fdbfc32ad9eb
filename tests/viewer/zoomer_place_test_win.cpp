// Where the viewer opens, under Wine: beside the window that owns it the first time, within
// the work area; at the place it was left (with its splitter) once one is kept.
#include <windows.h>

#include <gtest/gtest.h>

#include "tests/support/dxf_fixture.h"
#include "tests/support/testdata.h"
#include "ui/display.h"
#include "viewer/zoomer_form_win.h"

namespace tesmar {
namespace {

RECT Work() {
  RECT r;
  SystemParametersInfoW(SPI_GETWORKAREA, 0, &r, 0);
  return r;
}

bool Inside(const RECT& r, const RECT& in) {
  return r.left >= in.left && r.top >= in.top && r.right <= in.right && r.bottom <= in.bottom;
}

class ZoomerPlaceTest : public ::testing::Test {
 protected:
  ZoomerPlaceTest() {
    owner = CreateWindowExW(0, L"Static", L"palette", WS_POPUP | WS_VISIBLE, 40, 30, 300, 500, nullptr, nullptr, nullptr,
                            nullptr);
    test::WriteFile(dir / "plan.dxf", test::DxfPairs("0 SECTION\n2 ENTITIES\n0 LINE\n8 0\n11 10\n21 10\n0 ENDSEC\n0 EOF\n"));
  }
  ~ZoomerPlaceTest() override { DestroyWindow(owner); }
  RECT Shown(TMorvikZoomerForm& form) {
    form.OpenRequest(U16FromPath(dir / "plan.dxf"));
    form.WaitWhileOpening();
    RECT r;
    GetWindowRect(form.hwnd(), &r);
    return r;
  }
  HWND owner = nullptr;
  test::TempDir dir;
};

TEST_F(ZoomerPlaceTest, FirstBesideTheOwnerThenWhereItWasLeft) {
  TZoomerPlace kept;
  {
    TMorvikZoomerForm form;
    form.Create(owner);
    const RECT r = Shown(form);
    EXPECT_EQ(r.left, 340) << "on the owner's right";
    EXPECT_EQ(r.top, 30);
    EXPECT_EQ(r.right - r.left, ui::Scaled(TMorvikZoomerForm::kFirstWidth, form.Dpi()));
    EXPECT_TRUE(Inside(r, Work()));
    // The user moves it and drags the splitter; the place to keep follows.
    SetWindowPos(form.hwnd(), nullptr, 200, 120, 500, 400, SWP_NOZORDER);
    const HWND bar = form.Splitter1().hwnd();
    SendMessageW(bar, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(2, 10));
    SendMessageW(bar, WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(-38, 10));
    SendMessageW(bar, WM_LBUTTONUP, 0, MAKELPARAM(-38, 10));
    const int panel = form.Panel1().Width();
    form.Destroy();
    kept = form.Place();
    EXPECT_EQ(kept, (TZoomerPlace{200, 120, 500, 400, MulDiv(panel, 96, form.Dpi())}));
  }
  TMorvikZoomerForm again;
  again.Create(owner);
  again.SetPlace(kept);
  const RECT r = Shown(again);
  EXPECT_EQ(r.left, 200);
  EXPECT_EQ(r.top, 120);
  EXPECT_EQ(r.right - r.left, 500);
  EXPECT_EQ(again.Place().panelWidth, kept.panelWidth);
  // A second request does not move it.
  SetWindowPos(again.hwnd(), nullptr, 210, 130, 0, 0, SWP_NOZORDER | SWP_NOSIZE);
  EXPECT_EQ(Shown(again).left, 210);
  again.Destroy();
}

// A kept place outside the screen (another monitor, gone) is brought into the work area.
TEST_F(ZoomerPlaceTest, AKeptPlaceOffTheScreenComesBackIntoTheWorkArea) {
  TMorvikZoomerForm form;
  form.Create(owner);
  form.SetPlace(TZoomerPlace{-5000, 9000, 400, 300, 100});
  const RECT r = Shown(form);
  EXPECT_TRUE(Inside(r, Work()));
  EXPECT_EQ(r.right - r.left, 400);
  form.Destroy();
}

}  // namespace
}  // namespace tesmar
