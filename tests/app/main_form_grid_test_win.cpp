// The main window's grid as a palette to live in: the first start, names under the previews,
// a frame that grows the cells, the size kept across DPIs, the keys and the wheel, the folder
// and page of the last run, and what the status field says of an empty grid. Real windows
// under Wine; keys and the wheel go through the program's own message filter
// (HandleShortcut), as its message loop hands them over.
#include <gtest/gtest.h>

#include <windowsx.h>

#include <filesystem>
#include <functional>

#include "app/forms_win.h"
#include "app/main_form_win.h"
#include "app/startup.h"
#include "base/codepage.h"
#include "base/strings.h"
#include "cadlink/commands.h"
#include "cadlink/setting_form_win.h"
#include "cadlink/target_cad_form_win.h"
#include "dwg/dwg_writer.h"
#include "library/catalogue.h"
#include "library/demo_library.h"
#include "library/page_fill_win.h"
#include "tests/app/main_form_fixture_win.h"
#include "tests/support/cad_standin_win.h"
#include "tests/support/dwg_writer.h"
#include "tests/support/real_pointer_win.h"
#include "ui/com.h"
#include "ui/display.h"

namespace tesmar {
namespace {

class GridFormTest : public test::MainFormTest {
 protected:
  std::filesystem::path Lib() const { return dir / "lib"; }
  void Register(std::initializer_list<std::filesystem::path> tops) {
    std::string lines;
    for (const auto& t : tops) lines += Utf16ToAnsi(U16FromPath(t)) + "\r\n";
    test::WriteFile(File("TesmarTopDirs.txt"), lines);
  }
  TTesmarMainForm& StartWith(const std::filesystem::path& top) {
    Register({top});
    return Start();
  }
  void Ini(const wchar_t* section, const wchar_t* key, const std::wstring& value) {
    WritePrivateProfileStringW(section, key, value.c_str(), File("Tesmar.ini").wstring().c_str());
  }
  std::wstring IniValue(const wchar_t* section, const wchar_t* key) {
    wchar_t buf[256] = {};
    GetPrivateProfileStringW(section, key, L"", buf, 256, File("Tesmar.ini").wstring().c_str());
    return buf;
  }
  // A key press as the message loop hands it to the program: to the window with the focus.
  bool Key(TTesmarMainForm& f, WPARAM key, HWND to = nullptr, UINT message = WM_KEYDOWN) {
    MSG msg{};
    msg.hwnd = to ? to : f.hwnd();
    msg.message = message;
    msg.wParam = key;
    return f.HandleShortcut(msg);
  }
  bool Wheel(TTesmarMainForm& f, int delta, POINT at) {
    MSG msg{};
    msg.hwnd = f.hwnd();
    msg.message = WM_MOUSEWHEEL;
    msg.wParam = MAKEWPARAM(0, static_cast<WORD>(static_cast<short>(delta)));
    msg.lParam = MAKELPARAM(at.x, at.y);
    return f.HandleShortcut(msg);
  }
  static POINT CentreOf(HWND w) {
    RECT r;
    GetWindowRect(w, &r);
    return POINT{(r.left + r.right) / 2, (r.top + r.bottom) / 2};
  }
  static int CountNot(ui::DibBitmap& pic, COLORREF c, int top, int bottom) {
    int n = 0;
    for (int y = top; y < bottom; ++y)
      for (int x = 0; x < pic.Width(); ++x) n += pic.Pixel(x, y) != c;
    return n;
  }
  static std::vector<int> FramedCells(TTesmarMainForm& f) {
    std::vector<int> cells;
    for (int i = 0; i < TTesmarMainForm::kCells; ++i)
      if (f.ImgAry[i]->Frame()) cells.push_back(i);
    return cells;
  }
};

// A first start in a fresh folder registers nothing: the grid says how to begin, the top-folder
// list is not written, and adding a folder shows its drawings.
TEST_F(GridFormTest, AFirstStartRegistersNothingAndShowsHowToBegin) {
  WriteDemoFolder(Lib(), 3);
  auto& f = Start();
  EXPECT_TRUE(f.topFolders.Empty());
  EXPECT_EQ(f.ComboBox1().Count(), 0);
  EXPECT_EQ(f.ComboBox2().Count(), 0);
  EXPECT_EQ(f.GridGuideText(), kNoTopFolderGuide);
  for (auto* p : f.PnlAry) EXPECT_FALSE(IsWindowVisible(p->hwnd()) && IsWindowVisible(f.hwnd()));
  EXPECT_EQ(f.Label1().Text(), u"");
  f.UpdatePopupMenu1();
  EXPECT_FALSE(f.MenuItem(u"N17").Enabled());

  ui::SeamOverride<ui::ChooseFolderFn> chooser(ui::ChooseFolderSeam(), [&](HWND, std::u16string_view) {
    return std::optional<std::u16string>(U16FromPath(Lib()));
  });
  f.Button2Click();
  EXPECT_EQ(f.GridGuideText(), u"");
  EXPECT_EQ(f.ComboBox3().Count(), 3);
  EXPECT_EQ(f.Label1().Text(), u"1 / 1");
  answer = IDYES;
  f.Button3Click();
  EXPECT_EQ(f.GridGuideText(), kNoTopFolderGuide);
  Close();
  // The user removed the only folder: the list is written empty; nothing else was ever added.
  EXPECT_EQ(test::ReadFile(File("TesmarTopDirs.txt")), "");

  std::filesystem::remove(File("TesmarTopDirs.txt"));
  Start();
  Close();
  EXPECT_FALSE(std::filesystem::exists(File("TesmarTopDirs.txt")));
}

// A registered folder that is gone (or offline) says so and stays registered; a folder without
// drawings says that there are none, also after the start's second pass.
TEST_F(GridFormTest, AnEmptyGridSaysWhy) {
  const auto gone = dir / "a-gone";
  std::filesystem::create_directories(dir / "empty" / "sub");
  Register({gone, dir / "empty"});
  auto& f = Start();
  ASSERT_EQ(f.topFolders.Chosen(), U16FromPath(gone));
  EXPECT_EQ(f.Edit1().Text(), kTopFolderMissingText + U16FromPath(gone));
  EXPECT_EQ(f.ComboBox1().Count(), 2);

  f.ComboBox1().SetItemIndex(1);
  f.ComboBox1Change();
  EXPECT_EQ(f.Edit1().Text(), kNoDrawingsText);
  f.ComboBox2Change();
  EXPECT_EQ(f.Edit1().Text(), kNoDrawingsText);
  Close();
  EXPECT_NE(test::ReadFile(File("TesmarTopDirs.txt")).find(Utf16ToAnsi(U16FromPath(gone))), std::string::npos);
}

// Each cell shows its drawing's name under the picture, a drawing without a preview included;
// an empty cell shows none. The setting Image/Names=0 gives the cells without names.
TEST_F(GridFormTest, EachCellShowsItsNameUnlessTheSettingHidesIt) {
  WriteDemoFolder(Lib(), 2);
  test::WriteFile(Lib() / "no-preview.dwg", "not a drawing at all");
  auto& f = StartWith(Lib());
  ASSERT_EQ(f.ComboBox3().Count(), 3);
  const int picture = f.layout.picture;
  const int strip = f.ImgAry[0]->Height() - picture;
  EXPECT_EQ(strip, ui::Scaled(TTesmarMainForm::kNameStrip, f.Dpi()));
  for (int i = 0; i < 4; ++i) {
    SCOPED_TRACE(i);
    ui::DibBitmap& pic = f.ImgAry[i]->Picture();
    ASSERT_EQ(pic.Height(), picture + strip) << "drawn for the cell, not stretched";
    const int named = CountNot(pic, RGB(0, 0, 0), picture, pic.Height());
    if (i < 3) EXPECT_GT(named, 10) << "a name is drawn";
    else EXPECT_EQ(named, 0) << "an empty cell has no name";
  }
  Close();

  Ini(L"Image", L"Names", L"0");
  auto& plain = Start();
  EXPECT_FALSE(plain.showNames);
  EXPECT_EQ(plain.ImgAry[0]->Height(), plain.layout.picture);
  EXPECT_EQ(plain.ImgAry[0]->Width(), plain.layout.picture);
  Close();
  EXPECT_EQ(IniValue(L"Image", L"Names"), L"0");
}

// The frame grows the cells: 6 x 5 in a wide grid area, 5 x 6 in a tall one, and each picture
// is drawn anew for its cell's size, exactly as the preview is fitted at that size (crisp, not
// a small bitmap stretched). The size items of the menu step the window as before.
TEST_F(GridFormTest, TheCellsGrowWithTheFrameAndThePicturesAreDrawnForTheirSize) {
  WriteDemoFolder(Lib(), 40);
  auto& f = StartWith(Lib());
  EXPECT_TRUE(GetWindowLongW(f.hwnd(), GWL_STYLE) & WS_THICKFRAME);
  const int small = f.layout.picture;
  struct Case {
    int w, h, columns;
  } cases[] = {{900, 700, 6}, {600, 980, 5}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.w);
    SetWindowPos(f.hwnd(), nullptr, 0, 0, c.w, c.h, SWP_NOMOVE | SWP_NOZORDER);
    EXPECT_EQ(f.layout.columns, c.columns);
    EXPECT_GT(f.layout.picture, 2 * small);
    RECT last = f.PnlAry[29]->AsControl().Bounds();
    EXPECT_LE(last.right, f.Panel102().Width());
    EXPECT_LE(last.bottom, f.Panel102().Height());
    EXPECT_EQ(f.PnlAry[c.columns]->AsControl().Bounds().left, 2) << "the second row begins at the left";
    // Each picture is the fitted preview at the new size, pixel for pixel.
    for (int i : {0, 7}) {
      ui::DibBitmap& pic = f.ImgAry[i]->Picture();
      ASSERT_EQ(pic.Width(), f.ImgAry[i]->Width());
      ASSERT_EQ(pic.Height(), f.ImgAry[i]->Height());
      RgbImage expected;
      ASSERT_TRUE(DrawPreviewCell(f.g_dxfPath + f.ImgAry[i]->Hint(), f.layout.picture, f.layout.picture, true, expected));
      int differ = 0;
      for (int y = 0; y < expected.height; ++y)
        for (int x = 0; x < expected.width; ++x) {
          const Rgb e = expected.Row(y)[x];
          differ += pic.Pixel(x, y) != RGB(RedOf(e), GreenOf(e), BlueOf(e));
        }
      EXPECT_EQ(differ, 0);
    }
    // The bars follow the frame: the buttons at the right edge, the status line at the bottom.
    const SIZE client = f.ClientSize();
    EXPECT_EQ(f.Button3().AsControl().Bounds().right, client.cx - ui::Scaled(2, f.Dpi()));
    EXPECT_EQ(f.Panel103().AsControl().Bounds().bottom, client.cy);
  }
  RECT before;
  GetWindowRect(f.hwnd(), &before);
  f.WidthWidth11Click(f.MenuItem(u"WidthWidth11"));
  RECT after;
  GetWindowRect(f.hwnd(), &after);
  EXPECT_EQ(after.right - after.left, before.right - before.left + 1);
  EXPECT_EQ(f.MenuItem(u"WidthWidth11").Caption(), kWidenCaption);
  // The frame cannot be made so small that the buttons or the status line are cut off.
  SetWindowPos(f.hwnd(), nullptr, 0, 0, 50, 50, SWP_NOMOVE | SWP_NOZORDER);
  const SIZE least = f.ClientSize();
  EXPECT_LE(f.Button3().AsControl().Bounds().right, least.cx);
  EXPECT_GT(f.Panel103().Height(), 0);
  EXPECT_EQ(f.Panel103().AsControl().Bounds().bottom, least.cy);
}

// The size is kept at 96 dpi: a run at 150 % leaves the size it showed, and the next run at
// 100 % shows the same room (not an area half again as large). The buttons and the status line
// are whole whatever the size kept, and a window that would fall off every monitor comes back.
TEST_F(GridFormTest, TheSizeIsKeptIndependentOfTheDpiAndTheWindowStaysOnAMonitor) {
  WriteDemoFolder(Lib(), 5);
  Ini(L"Form", L"ClientWidth", L"400");
  Ini(L"Form", L"ClientHeight", L"520");
  auto& f = StartWith(Lib());
  EXPECT_EQ(f.ClientSize().cx, ui::Scaled(400, f.Dpi()));
  EXPECT_EQ(f.ClientSize().cy, ui::Scaled(520, f.Dpi()));
  // Moved to a monitor of 150 %: the system suggests the scaled size.
  RECT r;
  GetWindowRect(f.hwnd(), &r);
  const SIZE at144 = ui::OuterSizeFor(600, 780, GetWindowLongW(f.hwnd(), GWL_STYLE), 0, 144);
  RECT suggested{r.left, r.top, r.left + at144.cx, r.top + at144.cy};
  SendMessageW(f.hwnd(), WM_DPICHANGED, MAKEWPARAM(144, 144), reinterpret_cast<LPARAM>(&suggested));
  const SIZE shown144 = f.ClientSize();
  ASSERT_NEAR(shown144.cx, 600, 4);
  Close();
  // Kept as the room it gives at 96 dpi, not as the pixels it took at 144.
  const int w96 = MulDiv(shown144.cx, 96, 144), h96 = MulDiv(shown144.cy, 96, 144);
  EXPECT_EQ(IniValue(L"Form", L"ClientWidth"), std::to_wstring(w96));
  EXPECT_EQ(IniValue(L"Form", L"ClientHeight"), std::to_wstring(h96));

  auto& again = Start();
  EXPECT_EQ(again.ClientSize().cx, ui::Scaled(w96, again.Dpi()));
  EXPECT_EQ(again.ClientSize().cy, ui::Scaled(h96, again.Dpi()));
  Close();

  // A file that holds only a small size in pixels (from another DPI) and a place far off.
  for (const wchar_t* key : {L"ClientWidth", L"ClientHeight"}) Ini(L"Form", key, L"");
  Ini(L"Form", L"Width", L"200");
  Ini(L"Form", L"Height", L"150");
  Ini(L"Form", L"Left", L"6000");
  Ini(L"Form", L"Top", L"-3000");
  auto& off = Start();
  const SIZE client = off.ClientSize();
  EXPECT_LE(off.Button3().AsControl().Bounds().right, client.cx);
  EXPECT_EQ(off.Panel103().AsControl().Bounds().bottom, client.cy);
  EXPECT_GT(off.Panel103().Height(), 0);
  GetWindowRect(off.hwnd(), &r);
  MONITORINFO monitor{};
  monitor.cbSize = sizeof monitor;
  GetMonitorInfoW(MonitorFromRect(&r, MONITOR_DEFAULTTONEAREST), &monitor);
  RECT visible;
  ASSERT_TRUE(IntersectRect(&visible, &r, &monitor.rcWork));
  EXPECT_EQ(visible.top, r.top) << "the title bar can be reached";
  EXPECT_GE(visible.right - visible.left, r.right - r.left);
}

// The arrow keys move the selection (its frame) cell by cell and across pages, PageUp and
// PageDown turn pages even in the folder box, the wheel over the grid turns pages, Enter sends
// what a double-click sends, F5 reads the folder again and keeps the page.
class GridKeysTest : public GridFormTest {};

TEST_F(GridKeysTest, ArrowKeysPagesWheelEnterAndF5) {
  WriteDemoFolder(Lib(), 95);
  WriteDemoFolder(dir / "other", 1);
  Register({Lib(), dir / "other"});
  ui::ComInit com;
  test::TestProgId id;
  test::CadStandIn cad(id.Clsid());
  auto& f = Start();
  g_TargetProgID = id.ProgId();
  ASSERT_EQ(f.ComboBox3().ItemIndex(), 0);
  EXPECT_EQ(FramedCells(f), std::vector<int>{0});

  EXPECT_TRUE(Key(f, VK_RIGHT));
  EXPECT_EQ(f.ComboBox3().ItemIndex(), 1);
  EXPECT_EQ(FramedCells(f), std::vector<int>{1});
  EXPECT_FALSE(f.PnlAry[1]->BevelRaised());
  EXPECT_TRUE(Key(f, VK_DOWN));
  EXPECT_EQ(f.ComboBox3().ItemIndex(), 7);
  for (int i = 0; i < 4; ++i) Key(f, VK_DOWN);
  EXPECT_EQ(f.ComboBox3().ItemIndex(), 31) << "down from the bottom row: the next page";
  EXPECT_EQ(f.Label1().Text(), u"2 / 4");
  EXPECT_EQ(FramedCells(f), std::vector<int>{1});
  EXPECT_TRUE(Key(f, VK_LEFT));
  EXPECT_TRUE(Key(f, VK_LEFT));
  EXPECT_EQ(f.ComboBox3().ItemIndex(), 29);
  EXPECT_EQ(f.Label1().Text(), u"1 / 4");
  // The arrow keys of a list stay the list's.
  EXPECT_FALSE(Key(f, VK_DOWN, f.ComboBox2().hwnd()));

  // PageDown in the folder box turns the page and leaves the folder.
  EXPECT_TRUE(Key(f, VK_NEXT, f.ComboBox1().hwnd()));
  EXPECT_EQ(f.ComboBox1().ItemIndex(), 0);
  EXPECT_EQ(f.Label1().Text(), u"2 / 4");
  EXPECT_TRUE(Key(f, VK_PRIOR, f.ComboBox1().hwnd()));
  EXPECT_EQ(f.Label1().Text(), u"1 / 4");

  // The wheel over the grid: towards the user is the next page; over the top bar it is not taken.
  EXPECT_TRUE(Wheel(f, -WHEEL_DELTA, CentreOf(f.Panel102().hwnd())));
  EXPECT_EQ(f.Label1().Text(), u"2 / 4");
  EXPECT_TRUE(Wheel(f, WHEEL_DELTA / 2, CentreOf(f.Panel102().hwnd())));
  EXPECT_EQ(f.Label1().Text(), u"2 / 4") << "half a notch is no page";
  EXPECT_TRUE(Wheel(f, WHEEL_DELTA / 2, CentreOf(f.Panel102().hwnd())));
  EXPECT_EQ(f.Label1().Text(), u"1 / 4");
  EXPECT_FALSE(Wheel(f, -WHEEL_DELTA, CentreOf(f.Panel101().hwnd())));

  // Enter: the double-click's command for the selected drawing.
  Key(f, VK_RIGHT);
  const std::u16string chosen = f.ChosenDrawingPath();
  EXPECT_TRUE(Key(f, VK_RETURN));
  EXPECT_EQ(cad.Commands(), std::vector<std::u16string>{DoubleClickText(f.insert, chosen) + u"\rATTREQ 1\r"});
  EXPECT_FALSE(Key(f, VK_RETURN, f.ComboBox3().hwnd())) << "Enter in a list is the list's";

  // F5: a drawing added meanwhile appears; the folder and the page stay.
  Key(f, VK_NEXT);
  Key(f, VK_NEXT);
  ASSERT_EQ(f.Label1().Text(), u"3 / 4");
  std::filesystem::copy_file(std::filesystem::directory_iterator(dir / "other")->path(), Lib() / "zz-new.dwg");
  EXPECT_TRUE(Key(f, VK_F5));
  EXPECT_EQ(f.ComboBox3().Count(), 96);
  EXPECT_EQ(f.Label1().Text(), u"3 / 4");
  EXPECT_EQ(f.ComboBox1().ItemIndex(), 0);
}

// The pop-up menu greys what needs a drawing when the pointer is on an empty cell, and shows
// the keys of its items.
TEST_F(GridFormTest, AnEmptyCellGreysWhatNeedsADrawingAndTheMenuShowsItsKeys) {
  WriteDemoFolder(Lib(), 31);
  auto& f = StartWith(Lib());
  const char16_t* needDrawing[] = {u"N16", u"DWGDXF1", u"CAD6", u"CAD7", u"CAD8"};
  f.Image1MouseMove(*f.ImgAry[3], 5, 5);
  f.UpdatePopupMenu1();
  for (auto* name : needDrawing) EXPECT_TRUE(f.MenuItem(name).Enabled()) << Utf16ToUtf8(name);
  f.dwgImageUp(true);
  f.Image1MouseMove(*f.ImgAry[3], 5, 5);  // page 2 holds one drawing: cell 3 is empty
  f.UpdatePopupMenu1();
  for (auto* name : needDrawing) EXPECT_FALSE(f.MenuItem(name).Enabled()) << Utf16ToUtf8(name);
  EXPECT_TRUE(f.MenuItem(u"N8").Enabled());
  EXPECT_TRUE(f.MenuItem(u"N17").Enabled());

  EXPECT_EQ(f.MenuItem(u"N15").Caption(), u"図面を検索 ...\tCtrl+F");
  EXPECT_EQ(f.MenuItem(u"N16").Caption(), std::u16string(kInsertAsDoubleClickCaption) + u"\tEnter");
  EXPECT_EQ(f.MenuItem(u"N17").Caption(), std::u16string(kReloadFolderCaption) + u"\tF5");
}

// The folder and the page of the last run come back at the next start.
TEST_F(GridFormTest, TheLastFolderAndPageComeBack) {
  WriteDemoFolder(Lib() / "A", 3);
  WriteDemoFolder(Lib() / "B", 70);
  auto& f = StartWith(Lib());
  ASSERT_EQ(f.ComboBox2().Text(), u"A");
  f.ComboBox2().SetItemIndex(1);
  f.ComboBox2Change();
  f.dwgImageUp(true);
  f.dwgImageUp(true);
  ASSERT_EQ(f.Label1().Text(), u"3 / 3");
  Close();
  auto& again = Start();
  EXPECT_EQ(again.ComboBox2().Text(), u"B");
  EXPECT_EQ(again.Label1().Text(), u"3 / 3");
  EXPECT_EQ(again.ComboBox3().ItemIndex(), 60);
  Close();
  // A folder that is gone gives the first folder and its first page.
  std::filesystem::remove_all(Lib() / "B");
  auto& third = Start();
  EXPECT_EQ(third.ComboBox2().Text(), u"A");
  EXPECT_EQ(third.Label1().Text(), u"1 / 1");
}

}  // namespace
}  // namespace tesmar

namespace tesmar {
namespace {

// The X display's real pointer and keys (xdotool), with the program's own message loop: the
// frame dragged larger, a wheel notch, the arrow keys, PageDown in the folder box, F5,
// Shift+F10 and the menu key, and Enter.
class GridRealInputTest : public GridFormTest {
 protected:
  // Runs the loop as the program's does (its filter first) until `done`, at most `ms`.
  bool PumpUntil(TTesmarMainForm& f, const std::function<bool()>& done, DWORD ms = 10000) {
    const DWORD start = GetTickCount();
    while (!done()) {
      if (GetTickCount() - start > ms) return false;
      MSG msg;
      while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
        if (f.HandleShortcut(msg)) continue;
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
      }
      Sleep(20);
    }
    return true;
  }
  void Real(const std::string& args) { ASSERT_TRUE(test::StartRealPointer(args)) << "xdotool cannot be started"; }
};

// The pop-up menu that is open, found by its window class, and closed again; its place is kept.
struct OpenMenu {
  static inline bool seen = false;
  static inline RECT rect{};
  static void CALLBACK Look(HWND, UINT, UINT_PTR, DWORD) {
    HWND menu = FindWindowW(L"#32768", nullptr);
    if (!menu || !IsWindowVisible(menu)) return;
    seen = true;
    GetWindowRect(menu, &rect);
    EndMenu();
  }
};

TEST_F(GridRealInputTest, FrameWheelKeysMenuAndEnter) {
  WriteDemoFolder(Lib(), 95);
  WriteDemoFolder(dir / "other", 1);
  Register({Lib(), dir / "other"});
  ui::ComInit com;
  test::TestProgId id;
  // Started minimised, as a user's CAD program behind the palette: a window shown normally takes the
  // display's keyboard focus, and the keys below are the palette's.
  test::CadStandIn cad(id.Clsid(), L"/minimized");
  auto& f = Start();
  g_TargetProgID = id.ProgId();
  SetWindowPos(f.hwnd(), nullptr, 60, 40, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
  ShowWindow(f.hwnd(), SW_SHOW);
  SetForegroundWindow(f.hwnd());
  SetFocus(f.hwnd());
  ui::ProcessMessages();

  // The frame's bottom-right corner dragged down and right.
  RECT r;
  GetWindowRect(f.hwnd(), &r);
  const int small = f.layout.picture;
  const int x = r.right - 3, y = r.bottom - 3;
  Real("mousemove " + std::to_string(x) + " " + std::to_string(y) + " sleep 0.3 mousedown 1 sleep 0.2 mousemove " +
       std::to_string(x + 120) + " " + std::to_string(y + 160) + " sleep 0.2 mousemove " + std::to_string(x + 240) +
       " " + std::to_string(y + 320) + " sleep 0.3 mouseup 1");
  ASSERT_TRUE(PumpUntil(f, [&] {
    return f.layout.picture > small + 20 && f.ImgAry[0]->Picture().Width() == f.ImgAry[0]->Width();
  })) << "the frame was not dragged: cells of " << f.layout.picture;
  GetWindowRect(f.hwnd(), &r);
  EXPECT_GT(r.right - r.left, 400);

  // A wheel notch towards the user over the grid: the next page, its first drawing selected.
  const POINT cell7 = CentreOf(f.ImgAry[7]->hwnd());
  Real("mousemove " + std::to_string(cell7.x) + " " + std::to_string(cell7.y) + " sleep 0.3 click 5");
  ASSERT_TRUE(PumpUntil(f, [&] { return f.Label1().Text() == u"2 / 4"; })) << Utf16ToUtf8(f.Label1().Text());

  ASSERT_EQ(f.ComboBox3().ItemIndex(), 30);
  // The arrow keys: one cell right, one row down.
  Real("key Right");
  ASSERT_TRUE(PumpUntil(f, [&] { return f.ComboBox3().ItemIndex() == 31; })) << f.ComboBox3().ItemIndex();
  // Down: the same column of the next row (the grown grid may have 5 or 6 columns).
  const int below = 1 + f.layout.columns;
  Real("key Down");
  ASSERT_TRUE(PumpUntil(f, [&] { return f.ComboBox3().ItemIndex() == 30 + below; })) << f.ComboBox3().ItemIndex();
  EXPECT_EQ(FramedCells(f), std::vector<int>{below});

  // PageDown with the keyboard in the folder box: the page turns, the folder stays.
  SetFocus(f.ComboBox1().hwnd());
  Real("key Next");
  ASSERT_TRUE(PumpUntil(f, [&] { return f.Label1().Text() == u"3 / 4"; })) << Utf16ToUtf8(f.Label1().Text());
  EXPECT_EQ(f.ComboBox1().ItemIndex(), 0);
  EXPECT_EQ(f.topFolders.Chosen(), U16FromPath(Lib()));

  // F5: a drawing added meanwhile appears, on the same page.
  std::filesystem::copy_file(std::filesystem::directory_iterator(dir / "other")->path(), Lib() / "zz-new.dwg");
  Real("key F5");
  ASSERT_TRUE(PumpUntil(f, [&] { return f.ComboBox3().Count() == 96; })) << f.ComboBox3().Count();
  EXPECT_EQ(f.Label1().Text(), u"3 / 4");

  // Shift+F10 and the menu key: the pop-up menu opens on the selected cell.
  SetFocus(f.hwnd());
  Real("key Right");
  ASSERT_TRUE(PumpUntil(f, [&] { return f.ComboBox3().ItemIndex() == 61; })) << f.ComboBox3().ItemIndex();
  const POINT selected = CentreOf(f.ImgAry[1]->hwnd());
  for (const char* key : {"shift+F10", "Menu"}) {
    SCOPED_TRACE(key);
    OpenMenu::seen = false;
    const UINT_PTR timer = SetTimer(nullptr, 0, 100, &OpenMenu::Look);
    Real(std::string("key ") + key);
    EXPECT_TRUE(PumpUntil(f, [] { return OpenMenu::seen; }));
    KillTimer(nullptr, timer);
    EXPECT_NEAR(OpenMenu::rect.left, selected.x, 2);
    EXPECT_NEAR(OpenMenu::rect.top, selected.y, 2);
    PumpUntil(f, [] { return false; }, 300);
  }

  // Enter: what a double-click on the selected drawing sends.
  const std::u16string chosen = f.ChosenDrawingPath();
  Real("key Return");
  EXPECT_TRUE(PumpUntil(f, [&] { return !cad.Commands().empty(); }));
  EXPECT_EQ(cad.Commands(), std::vector<std::u16string>{DoubleClickText(f.insert, chosen) + u"\rATTREQ 1\r"});
}

}  // namespace
}  // namespace tesmar
