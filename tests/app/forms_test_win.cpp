#include <gtest/gtest.h>

#include <functional>

#include "app/start_form_win.h"
#include "viewer/zoomer_form_win.h"
#include "base/codepage.h"
#include "base/strings.h"
#include "cadlink/setting_form_win.h"
#include "cadlink/target_cad_form_win.h"
#include "ui/controls.h"

namespace tesmar {
namespace {

// The windows created beside the main window: designed captions and client sizes (scaled to
// the DPI), centred on the screen, hidden until shown.
TEST(Forms, CaptionsSizesAndPlaces) {
  TMorvikStartForm splash;
  TMorvikZoomerForm zoomer;
  TMorvikSettingForm setting;
  TTargetCADForm target;
  splash.Create();
  zoomer.Create(nullptr);
  setting.Create(nullptr);
  target.Create(nullptr);
  struct Case {
    ui::Form* form;
    const char16_t* caption;
    int w, h;
    bool frame;  // has a title bar
  };
  const Case cases[] = {
      {&splash, u"", 281, 75, false},
      {&zoomer, u"MorvikZoomer", 265, 148, true},
      {&setting, u"挿入設定", 265, 231, true},
      {&target, u"ターゲット CAD", 315, 307, true},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(Utf16ToUtf8(c.caption));
    HWND h = c.form->hwnd();
    int dpi = static_cast<int>(GetDpiForWindow(h));
    EXPECT_EQ(ui::WindowText(h), c.caption);
    SIZE client = c.form->ClientSize();
    EXPECT_EQ(client.cx, MulDiv(c.w, dpi, 96));
    EXPECT_EQ(client.cy, MulDiv(c.h, dpi, 96));
    EXPECT_EQ((GetWindowLongW(h, GWL_STYLE) & WS_CAPTION) == WS_CAPTION, c.frame);
    EXPECT_EQ((GetWindowLongW(h, GWL_STYLE) & WS_THICKFRAME) != 0, c.form == &zoomer);  // only the viewer resizes
    EXPECT_FALSE(IsWindowVisible(h));
    RECT r;
    GetWindowRect(h, &r);
    EXPECT_EQ(r.left, (GetSystemMetrics(SM_CXSCREEN) - (r.right - r.left)) / 2);
  }
  EXPECT_TRUE(GetWindowLongW(setting.hwnd(), GWL_EXSTYLE) & WS_EX_TOPMOST);  // always on top
  EXPECT_EQ(splash.Label2().Text(), u"データ読み込み中 ...");
  RECT label;
  GetWindowRect(splash.Label1().hwnd(), &label);
  MapWindowPoints(HWND_DESKTOP, splash.hwnd(), reinterpret_cast<POINT*>(&label), 2);
  EXPECT_EQ(label.left, MulDiv(80, GetDpiForWindow(splash.hwnd()), 96));
}

}  // namespace
}  // namespace tesmar
