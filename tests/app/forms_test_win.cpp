#include <gtest/gtest.h>

#include <functional>
#include <vector>

#include "app/start_form_win.h"
#include "viewer/zoomer_form_win.h"
#include "base/codepage.h"
#include "base/strings.h"
#include "cadlink/setting_form_win.h"
#include "cadlink/target_cad_form_win.h"
#include "ui/controls.h"
#include "ui/gdi.h"

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
    // The insert settings dialog widens when its captions need more room (see below).
    if (c.form == &setting) EXPECT_GE(client.cx, MulDiv(c.w, dpi, 96));
    else EXPECT_EQ(client.cx, MulDiv(c.w, dpi, 96));
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

// Every caption of the insert settings dialog is shown whole in the dialog's font: a check box
// holds its box and its text, no control runs into the next one in its row, and all of them lie
// inside the group box, which lies inside the dialog.
TEST(Forms, InsertSettingsCaptionsFitTheirControls) {
  TMorvikSettingForm setting;
  setting.Create(nullptr);
  const int dpi = setting.Dpi();
  struct Placed {
    HWND h;
    RECT r;  // in the group box's client coordinates
  };
  std::vector<Placed> placed;
  auto add = [&](HWND h, int textRoom) {
    RECT r;
    GetWindowRect(h, &r);
    MapWindowPoints(HWND_DESKTOP, setting.GroupBox1(), reinterpret_cast<POINT*>(&r), 2);
    const auto font = reinterpret_cast<HFONT>(SendMessageW(h, WM_GETFONT, 0, 0));
    const std::u16string text = ui::WindowText(h);
    SCOPED_TRACE(Utf16ToUtf8(text));
    if (!text.empty()) {
      EXPECT_LE(ui::TextWidth(font, text) + MulDiv(textRoom, dpi, 96), r.right - r.left);
    }
    placed.push_back({h, r});
  };
  for (int n = 1; n <= 8; ++n) add(setting.CheckBox(n).hwnd(), 13);  // the box beside the text
  add(setting.Label1().hwnd(), 0);
  for (int n = 1; n <= 3; ++n) add(setting.Edit(n).hwnd(), 0);

  RECT group, client;
  GetClientRect(setting.GroupBox1(), &group);
  GetClientRect(setting.hwnd(), &client);
  for (std::size_t i = 0; i < placed.size(); ++i) {
    SCOPED_TRACE(Utf16ToUtf8(ui::WindowText(placed[i].h)));
    EXPECT_LE(placed[i].r.right, group.right);
    for (std::size_t j = 0; j < placed.size(); ++j) {
      RECT overlap;
      if (i != j) {
        EXPECT_FALSE(IntersectRect(&overlap, &placed[i].r, &placed[j].r)) << Utf16ToUtf8(ui::WindowText(placed[j].h));
      }
    }
  }
  RECT box;
  GetWindowRect(setting.GroupBox1(), &box);
  MapWindowPoints(HWND_DESKTOP, setting.hwnd(), reinterpret_cast<POINT*>(&box), 2);
  EXPECT_LE(box.right, client.right);
  for (HWND button : {setting.Button1(), setting.Button2()}) {
    RECT b;
    GetWindowRect(button, &b);
    MapWindowPoints(HWND_DESKTOP, setting.hwnd(), reinterpret_cast<POINT*>(&b), 2);
    EXPECT_LE(b.right, client.right);
  }
}

}  // namespace
}  // namespace tesmar
