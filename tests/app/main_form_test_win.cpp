#include "app/main_form_win.h"

#include <gtest/gtest.h>

#include "app/settings_file_win.h"
#include "app/startup.h"
#include "base/codepage.h"
#include "base/textfile.h"
#include "library/catalogue.h"
#include "render/image_canvas_win.h"
#include "tests/app/main_form_fixture_win.h"
#include "ui/display.h"
#include "ui/topmost.h"

#include "tesmar_version.h"

namespace tesmar {
namespace {

using test::MainFormTest;

std::vector<std::u16string> Lines(const std::filesystem::path& file) {
  TextLines t;
  EXPECT_TRUE(ReadTextLines(file, t)) << file;
  return t.lines;
}

// The settings file's lines that are not section headers, in file order ("key=value").
std::vector<std::u16string> Keys(const std::filesystem::path& file) {
  std::vector<std::u16string> keys;
  for (const auto& l : Lines(file))
    if (!l.empty() && l[0] != u'[') keys.push_back(l.substr(0, l.find(u'=')));
  return keys;
}

TEST_F(MainFormTest, FirstStartInAnEmptyFolderUsesDefaultsAndWritesTheSettingsAtExit) {
  auto& f = Start();
  // Nothing is registered by itself: the grid says how to add a folder.
  EXPECT_TRUE(f.ComboBox1().Items().empty());
  EXPECT_EQ(f.ComboBox1().ItemIndex(), -1);
  EXPECT_EQ(f.GridGuideText(), kNoTopFolderGuide);
  EXPECT_EQ(f.MenuItem(u"CAD5").Caption(), u"ターゲット CAD");
  EXPECT_EQ(f.MenuItem(u"LISP1").Caption(), u"■ロード MERIDOX410.lsp");
  EXPECT_EQ(f.MenuItem(u"N10").Caption(), u"プレビューイメージ=拡大");
  EXPECT_FALSE(f.MenuItem(u"ODAFileConverter2").Checked());
  EXPECT_EQ(f.insert.lspName, u"MERIDOX410.lsp");
  EXPECT_EQ(f.exeName, u"NOVLAK.exe");
  EXPECT_EQ(f.insert.funcName1, u"kvo_dxfIn_exp");
  EXPECT_EQ(f.insert.funcName2, u"kvo_dxfIn_cut");
  EXPECT_TRUE(f.insert.cutFlag && f.insert.repeatFlag && f.insert.useFunc2Flag && g_ImageClip);
  EXPECT_FALSE(f.insert.expFlag || f.insert.purgeFlag || f.insert.useFunc1Flag || f.insert.useLspFlag);
  EXPECT_EQ(g_TargetProgID, u"BricscadApp.AcadApplication");
  EXPECT_EQ(f.g_dxfExt, u".dwg");
  EXPECT_EQ(f.Edit1().Text(), u"");
  EXPECT_TRUE(ui::IsTopmost(f.hwnd()));
  EXPECT_EQ(ui::WindowText(f.hwnd()), u"Tesmar");
  const LONG style = GetWindowLongW(f.hwnd(), GWL_STYLE);
  EXPECT_TRUE((style & WS_SYSMENU) && (style & WS_MINIMIZEBOX) && (style & WS_THICKFRAME));  // a frame to size
  EXPECT_FALSE(style & WS_MAXIMIZEBOX);
  EXPECT_FALSE(std::filesystem::exists(File("Tesmar.ini")));
  RECT r;
  GetWindowRect(f.hwnd(), &r);
  EXPECT_EQ(r.left, (GetSystemMetrics(SM_CXSCREEN) - (r.right - r.left)) / 2);
  EXPECT_EQ(r.top, (GetSystemMetrics(SM_CYSCREEN) - (r.bottom - r.top)) / 2);
  Close();

  EXPECT_FALSE(std::filesystem::exists(File("TesmarTopDirs.txt")));
  EXPECT_EQ(Keys(File("Tesmar.ini")),
            (std::vector<std::u16string>{u"Width", u"Height", u"Left", u"Top", u"ClientWidth", u"ClientHeight",
                                         u"FullName", u"dispFlag", u"topDir", u"folder", u"page", u"lspName",
                                         u"funcName1", u"funcName2", u"cut", u"repeat", u"explode", u"purge",
                                         u"useLsp", u"useFunc1", u"useFunc2", u"Clip", u"Names", u"ProgID"}));
  Settings back = ReadSettingsFile(U16FromPath(File("Tesmar.ini")), SettingsContext{});
  EXPECT_EQ(back.topDir, u"");
  EXPECT_EQ(back.clientWidth96, 274);
  EXPECT_EQ(back.clientHeight96, 316 + 5 * TTesmarMainForm::kNameStrip);
  EXPECT_EQ(back.Left, r.left);
  EXPECT_EQ(back.Width, r.right - r.left);
  EXPECT_TRUE(shown.empty());
}

TEST_F(MainFormTest, EveryKeyRoundTripsThroughTheFileAndAnExeNameLineSurvives) {
  test::WriteFile(File("Tesmar.ini"),
                  "[Form]\r\nWidth=0x140\r\nHeight=$15E\r\nLeft=-3000\r\nTop=5000\r\n"
                  "[ODA]\r\nFullName=\r\ndispFlag=1\r\n"
                  "[DWG]\r\ntopDir=c:\\nowhere\r\n"
                  "[Cad]\r\nlspName=\r\nexeName=Mine.exe\r\nfuncName1=f1\r\nfuncName2=\r\ncut=0\r\nrepeat=abc\r\n"
                  "explode=7\r\npurge=1\r\nuseLsp=0\r\nuseFunc1=1\r\nuseFunc2=0\r\n"
                  "[Image]\r\nClip=0\r\n[Target]\r\nProgID=AutoCAD.Application\r\n"
                  "[Other]\r\nkept=yes\r\n");
  auto& f = Start();
  RECT r;
  GetWindowRect(f.hwnd(), &r);
  EXPECT_EQ(r.right - r.left, 0x140);
  EXPECT_EQ(r.bottom - r.top, 0x15E);
  // A place off every monitor is brought back onto the screen.
  EXPECT_EQ(r.left, 0);
  MONITORINFO monitor{};
  monitor.cbSize = sizeof monitor;
  GetMonitorInfoW(MonitorFromRect(&r, MONITOR_DEFAULTTONEAREST), &monitor);
  EXPECT_EQ(r.bottom, monitor.rcWork.bottom);
  EXPECT_EQ(f.odaFullName, u"");  // an empty FullName stays empty
  EXPECT_TRUE(f.MenuItem(u"ODAFileConverter2").Checked());
  EXPECT_EQ(f.insert.lspName, u"MERIDOX410.lsp");  // empty: the default
  EXPECT_EQ(f.exeName, u"Mine.exe");
  EXPECT_EQ(f.insert.funcName1, u"f1");
  EXPECT_EQ(f.insert.funcName2, u"kvo_dxfIn_cut");
  EXPECT_FALSE(f.insert.cutFlag);
  EXPECT_TRUE(f.insert.repeatFlag);  // not a number: the default
  EXPECT_TRUE(f.insert.expFlag && f.insert.purgeFlag && f.insert.useFunc1Flag);
  EXPECT_FALSE(f.insert.useLspFlag || f.insert.useFunc2Flag || g_ImageClip);
  EXPECT_EQ(f.MenuItem(u"N10").Caption(), u"プレビューイメージ=そのまま");
  EXPECT_EQ(g_TargetProgID, u"AutoCAD.Application");
  f.insert.funcName1 = u"関数１";
  f.odaFullName = u"D:\\ODA\\ODAFileConverter.exe";
  Close();

  Settings back = ReadSettingsFile(U16FromPath(File("Tesmar.ini")), SettingsContext{});
  EXPECT_EQ(back.Width, 0x140);
  EXPECT_EQ(back.Left, r.left);
  EXPECT_EQ(back.Top, r.top);
  EXPECT_EQ(back.odaFullName, u"D:\\ODA\\ODAFileConverter.exe");
  EXPECT_EQ(back.topDir, u"");  // the chosen top folder: none is registered
  EXPECT_TRUE(back.dispFlag);
  EXPECT_EQ(back.insert.lspName, u"MERIDOX410.lsp");
  EXPECT_EQ(back.exeName, u"Mine.exe");
  EXPECT_EQ(back.insert.funcName1, u"関数１");
  EXPECT_FALSE(back.insert.cutFlag || back.insert.useLspFlag || back.g_ImageClip);
  EXPECT_TRUE(back.insert.repeatFlag && back.insert.expFlag);
  EXPECT_EQ(back.g_TargetProgID, u"AutoCAD.Application");
  std::string text = test::ReadFile(File("Tesmar.ini"));
  EXPECT_NE(text.find("exeName=Mine.exe"), std::string::npos);
  EXPECT_NE(text.find("kept=yes"), std::string::npos);
  EXPECT_NE(text.find("explode=1"), std::string::npos);  // Booleans are written as 1 or 0
  EXPECT_FALSE(std::filesystem::exists(File("Tesmar.ini.new")));
}

TEST_F(MainFormTest, TopDirChoosesARegisteredFolderIgnoringCaseElseTheFirst) {
  struct Case {
    const char* topDir;
    const char16_t* selected;
  };
  const Case cases[] = {
      {"c:\\BETA", u"C:\\beta"},        // letter case differs
      {"C:\\gamma", u"C:\\Alpha"},      // names no registered folder: the first in sorted order
      {"", u"C:\\Alpha"},               // empty
      {"C:\\beta\\", u"C:\\Alpha"},     // not the exact entry
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.topDir);
    test::WriteFile(File("TesmarTopDirs.txt"), "C:\\beta\r\nC:\\Alpha\r\n");
    test::WriteFile(File("Tesmar.ini"), std::string("[DWG]\r\ntopDir=") + c.topDir + "\r\n");
    auto& f = Start();
    EXPECT_EQ(f.ComboBox1().Items(), (std::vector<std::u16string>{u"C:\\Alpha", u"C:\\beta"}));
    EXPECT_EQ(f.ComboBox1().Text(), c.selected);
    Close();
    // Saved in the list's sorted order.
    EXPECT_EQ(Lines(File("TesmarTopDirs.txt")), (std::vector<std::u16string>{u"C:\\Alpha", u"C:\\beta"}));
  }
}

TEST_F(MainFormTest, AnEmptyTopFolderListRegistersNothing) {
  test::WriteFile(File("TesmarTopDirs.txt"), "");
  auto& f = Start();
  EXPECT_TRUE(f.ComboBox1().Items().empty());
  EXPECT_EQ(f.GridGuideText(), kNoTopFolderGuide);
  Close();
  EXPECT_EQ(test::ReadFile(File("TesmarTopDirs.txt")), "");
}

TEST_F(MainFormTest, TopFolderListKeepsItsEncoding) {
  // A UTF-16 list with a folder name outside the ANSI code page is written back as UTF-16.
  std::u16string folder = u"C:\\図面\\Ωmega";
  std::string bytes = "\xFF\xFE";
  for (char16_t c : folder + u"\r\n") bytes += std::string{static_cast<char>(c & 0xFF), static_cast<char>(c >> 8)};
  test::WriteFile(File("TesmarTopDirs.txt"), bytes);
  Start();
  EXPECT_EQ(form->ComboBox1().Text(), folder);
  Close();
  EXPECT_EQ(test::ReadFile(File("TesmarTopDirs.txt")), bytes);
}

TEST_F(MainFormTest, AnUnreadableTopFolderListIsReportedAndNotWrittenOver) {
  const std::string before = "C:\\Users folder\r\n";
  test::WriteFile(File("TesmarTopDirs.txt"), before);
  {
    // Another program holds the list open without sharing it.
    HANDLE lock = CreateFileW(File("TesmarTopDirs.txt").wstring().c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    ASSERT_NE(lock, INVALID_HANDLE_VALUE);
    Start();
    CloseHandle(lock);
  }
  ASSERT_EQ(shown.size(), 1u);
  EXPECT_TRUE(shown[0].flags & MB_ICONERROR);
  EXPECT_NE(shown[0].text.find(u"TesmarTopDirs.txt"), std::u16string::npos);
  // No folder stands in for this run (none is registered by itself); the rest of the start
  // went on.
  EXPECT_TRUE(form->ComboBox1().Items().empty());
  EXPECT_TRUE(ui::IsTopmost(form->hwnd()));
  Close();
  EXPECT_EQ(test::ReadFile(File("TesmarTopDirs.txt")), before);
  EXPECT_TRUE(std::filesystem::exists(File("Tesmar.ini")));
}

// Fails the creation of every window of one class on this thread for its scope.
class FailWindowsOfClass {
 public:
  explicit FailWindowsOfClass(const wchar_t* cls) {
    failing_ = cls;
    hook_ = SetWindowsHookExW(WH_CBT, &Proc, nullptr, GetCurrentThreadId());
  }
  ~FailWindowsOfClass() { UnhookWindowsHookEx(hook_); }
  bool Installed() const { return hook_ != nullptr; }

 private:
  static LRESULT CALLBACK Proc(int code, WPARAM wp, LPARAM lp) {
    if (code == HCBT_CREATEWND) {
      const wchar_t* cls = reinterpret_cast<CBT_CREATEWNDW*>(lp)->lpcs->lpszClass;
      if (!IS_INTRESOURCE(cls) && _wcsicmp(cls, failing_) == 0) return 1;
    }
    return CallNextHookEx(nullptr, code, wp, lp);
  }
  static inline const wchar_t* failing_ = nullptr;
  HHOOK hook_ = nullptr;
};

TEST_F(MainFormTest, AStartThatFailsBeforeReadingLeavesTheUsersFilesAlone) {
  const std::string ini = "[Form]\r\nWidth=300\r\n", dirs = "C:\\Alpha\r\nC:\\beta\r\n";
  test::WriteFile(File("Tesmar.ini"), ini);
  test::WriteFile(File("TesmarTopDirs.txt"), dirs);
  {
    FailWindowsOfClass fail(L"Edit");
    ASSERT_TRUE(fail.Installed());
    EXPECT_THROW(Start(), std::runtime_error);
  }
  ASSERT_TRUE(form && form->hwnd());  // the window was made, its controls were not all
  Close();
  EXPECT_EQ(test::ReadFile(File("Tesmar.ini")), ini);
  EXPECT_EQ(test::ReadFile(File("TesmarTopDirs.txt")), dirs);
  EXPECT_TRUE(shown.empty()) << Utf16ToUtf8(shown[0].text);
}

TEST_F(MainFormTest, TargetCaptionComesFromTheFirstLineWithTabAndProgId) {
  struct Case {
    const char* list;  // nullptr: no file
    const char16_t* caption;
  };
  const Case cases[] = {
      {"Bricscad V21\tBricscadApp.AcadApplication.21\r\nBricscad\tBricscadApp.AcadApplication\r\n",
       u"ターゲット = Bricscad V21"},
      {"AutoCAD\tAutoCAD.Application\r\nBricscad\tBricscadApp.AcadApplication\r\n", u"ターゲット = Bricscad"},
      {"Bricscad bricscadapp.acadapplication\r\n", u"ターゲット CAD"},
      {nullptr, u"ターゲット CAD"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.list ? c.list : "no file");
    std::filesystem::remove(File("TargetCAD_APIVersion.txt"));
    if (c.list) test::WriteFile(File("TargetCAD_APIVersion.txt"), c.list);
    Start();
    EXPECT_EQ(form->MenuItem(u"CAD5").Caption(), c.caption);
    Close();
  }
}

TEST_F(MainFormTest, ExitDeletesOnlyTheConvertedDxfFiles) {
  test::WriteFile(File("users own.dxf"), "0\r\nEOF\r\n");
  test::WriteFile(File("converted.dxf"), "0\r\nEOF\r\n");
  Start();
  form->convertedDxf.Record(File("converted.dxf"));
  Close();
  EXPECT_TRUE(std::filesystem::exists(File("users own.dxf")));
  EXPECT_FALSE(std::filesystem::exists(File("converted.dxf")));
}

TEST_F(MainFormTest, AFailedSettingsWriteKeepsThePreviousFileAndIsReported) {
  const std::string before = "[Form]\r\nWidth=300\r\n";
  test::WriteFile(File("Tesmar.ini"), before);
  Start();
  // The copy cannot be made: a folder holds its name.
  std::filesystem::create_directory(File("Tesmar.ini.new"));
  Close();
  EXPECT_EQ(test::ReadFile(File("Tesmar.ini")), before);
  ASSERT_EQ(shown.size(), 1u);
  EXPECT_EQ(shown[0].caption, u"Tesmar");
  EXPECT_TRUE(shown[0].flags & MB_ICONERROR);
  EXPECT_NE(shown[0].text.find(u"Tesmar.ini"), std::u16string::npos);
}

TEST_F(MainFormTest, GridIsSixByFiveBlackCellsOnAqua) {
  auto& f = Start();
  EXPECT_EQ(f.Shape1().BrushColour(), RGB(0, 255, 255));
  RECT client;
  GetClientRect(f.hwnd(), &client);
  EXPECT_EQ(client.right, MulDiv(274, GetDpiForWindow(f.hwnd()), 96));
  // Designed 274 x 316, and a name line under each row of cells.
  EXPECT_EQ(client.bottom, MulDiv(316 + 5 * TTesmarMainForm::kNameStrip, GetDpiForWindow(f.hwnd()), 96));
  const int W = f.PnlAry[0]->Width(), H = f.PnlAry[0]->Height();
  EXPECT_EQ(W, MulDiv(45, GetDpiForWindow(f.hwnd()), 96));
  for (int i = 0; i < 30; ++i) {
    SCOPED_TRACE(i);
    ASSERT_NE(f.PnlAry[i], nullptr);
    ASSERT_NE(f.ImgAry[i], nullptr);
    EXPECT_EQ(f.PnlAry[i]->Name(), u"Panel" + IntToStr16(i + 1));
    EXPECT_EQ(f.ImgAry[i]->Name(), u"Image" + IntToStr16(i + 1));
    RECT p = f.PnlAry[i]->AsControl().Bounds();
    EXPECT_EQ(p.left, (i % 6) * W + 2);
    EXPECT_EQ(p.top, (i / 6) * H + 2);
    EXPECT_EQ(p.right - p.left, W);
    RECT im = f.ImgAry[i]->AsControl().Bounds();
    EXPECT_EQ(im.left, 1);
    EXPECT_EQ(im.top, 1);
    EXPECT_EQ(im.right - im.left, W - 2);
    EXPECT_EQ(im.bottom - im.top, H - 2);
    EXPECT_TRUE(f.ImgAry[i]->stretch && f.ImgAry[i]->center && !f.ImgAry[i]->proportional);
    EXPECT_FALSE(f.PnlAry[i]->ShowCaption());
    auto& pic = f.ImgAry[i]->Picture();
    for (int y = 0; y < pic.Height(); y += 7)
      for (int x = 0; x < pic.Width(); x += 7) ASSERT_EQ(pic.Pixel(x, y), RGB(0, 0, 0)) << x << "," << y;
    EXPECT_EQ(CanvasOf(*f.ImgAry[i]).Pen().colour, kWhite);
  }
}

TEST_F(MainFormTest, PopupMenuHoldsEveryItemInOrder) {
  auto& f = Start();
  struct Item {
    const char16_t* name;
    const char16_t* caption;  // "-" for a separator
    int level;
  };
  const Item expected[] = {
      {u"N10", u"プレビューイメージ=拡大", 0}, {u"N11", u"拡大", 1}, {u"N12", u"そのまま", 1}, {u"N13", u"-", 0},
      {u"ODAFileConverter1", u"ODAFileConverter.exe を登録 ...", 0},
      {u"ODAFileConverter2", u"変換中 ODAFileConverter を表示", 0}, {u"N1", u"-", 0},
      {u"CAD5", u"ターゲット CAD", 0}, {u"N6", u"挿入設定 ...", 0}, {u"N9", u"-", 0},
      {u"N8", u"■ 説明ファイル作成、編集（メモ帳起動）", 0}, {u"N15", u"図面を検索 ...\tCtrl+F", 0},
      {u"N17", u"フォルダを読み直す\tF5", 0}, {u"N7", u"-", 0},
      {u"LISP1", u"■ロード MERIDOX410.lsp", 0}, {u"N2", u"-", 0},
      {u"DWGDXF1", u"■ DWG->DXF 変換 -> 表示 ...", 0}, {u"N3", u"-", 0},
      {u"N16", u"■ CAD へ挿入（ダブルクリックと同じ）\tEnter", 0}, {u"CAD6", u"■ CAD へ挿入（コマンド）", 0}, {u"CAD7", u"■ CAD へ挿入（分解＋パージ）", 0},
      {u"CAD8", u"■ CAD へ挿入（配線カット＋繰り返し）", 0}, {u"N4", u"-", 0},
      {u"N14", u"フォームサイズ", 0}, {u"WidthWidth11", u"幅を 1 ピクセル広く", 1},
      {u"WidthWidth12", u"幅を 1 ピクセル狭く", 1}, {u"HeightHeight11", u"高さを 1 ピクセル高く", 1},
      {u"HeightHeight12", u"高さを 1 ピクセル低く", 1}, {u"N5", u"■ バージョン情報 ...", 0},
  };
  // Walk the real menu: top level, and the two sub-menus in place.
  HMENU root = f.PopupMenu1();
  std::vector<std::pair<std::u16string, int>> walked;
  auto caption = [](HMENU m, int pos) {
    ui::MenuItem item(u"", m, static_cast<UINT>(pos), 0);
    return item.IsSeparator() ? std::u16string(u"-") : item.Caption();
  };
  for (int i = 0; i < GetMenuItemCount(root); ++i) {
    walked.emplace_back(caption(root, i), 0);
    if (HMENU sub = GetSubMenu(root, i))
      for (int j = 0; j < GetMenuItemCount(sub); ++j) walked.emplace_back(caption(sub, j), 1);
  }
  ASSERT_EQ(walked.size(), std::size(expected));
  // In the dark look every item, sub-menu items included, is drawn by the program.
  for (HMENU m : {root, GetSubMenu(root, 0)}) {
    MENUITEMINFOW mi{};
    mi.cbSize = sizeof mi;
    mi.fMask = MIIM_FTYPE;
    ASSERT_TRUE(GetMenuItemInfoW(m, 1, TRUE, &mi));
    EXPECT_TRUE(mi.fType & MFT_OWNERDRAW);
  }
  for (size_t i = 0; i < walked.size(); ++i) {
    SCOPED_TRACE(i);
    EXPECT_EQ(walked[i].first, expected[i].caption);
    EXPECT_EQ(walked[i].second, expected[i].level);
    EXPECT_EQ(f.MenuItem(expected[i].name).Caption(), expected[i].caption == std::u16string(u"-") ? u"" : expected[i].caption);
  }
}

TEST_F(MainFormTest, AboutBoxAndDisplayScale) {
  auto& f = Start();
  f.N5Click();
  ASSERT_EQ(shown.size(), 1u);
  EXPECT_EQ(shown[0].text.substr(0, shown[0].text.find(u'\n')), u"Tesmar.exe " + Utf8ToUtf16(TESMAR_VERSION_DOTTED));
  EXPECT_NE(shown[0].text.find(u'\n'), std::u16string::npos);
  EXPECT_EQ(shown[0].flags, static_cast<UINT>(MB_OK | MB_ICONINFORMATION));
  // Wine's Shcore reports 100 %; the caption keeps 124 pixels free at that scale.
  EXPECT_EQ(f.g_DisplayScale, 100);
  RECT r;
  GetWindowRect(f.hwnd(), &r);
  EXPECT_EQ(f.g_CaptionWidth, (r.right - r.left) - 124);
}

// Moved to a monitor of 150 %: every control takes its designed size at the new DPI, the lists
// and the bars as wide as the window, and the grid is laid out again for the new grid area.
TEST_F(MainFormTest, ADpiChangeScalesTheLayout) {
  auto& f = Start();
  // A cell drawn on before the change.
  Canvas& before = CanvasOf(*f.ImgAry[0]);
  before.SetPenColour(kWhite);
  before.MoveTo(0, 10);
  before.LineTo(43, 10);
  const SIZE outer = ui::OuterSizeFor(411, 579, GetWindowLongW(f.hwnd(), GWL_STYLE), 0, 144);
  RECT suggested{100, 100, 100 + outer.cx, 100 + outer.cy};
  SendMessageW(f.hwnd(), WM_DPICHANGED, MAKEWPARAM(144, 144), reinterpret_cast<LPARAM>(&suggested));
  const SIZE client = f.ClientSize();
  EXPECT_EQ(f.Panel101().Height(), 99);
  EXPECT_EQ(f.ComboBox1().Width(), 300 + (client.cx - 411));
  EXPECT_EQ(f.Button3().AsControl().Bounds().right, 359 + 50 + (client.cx - 411));  // at the right edge
  EXPECT_EQ(f.Panel103().Height(), 35);
  const GridLayout expected = LayOutGrid(f.Panel102().Width(), f.Panel102().Height(), 21, 2, 2);
  EXPECT_EQ(f.layout, expected);
  EXPECT_GE(expected.picture, 64);
  RECT p = f.PnlAry[29]->AsControl().Bounds();
  EXPECT_EQ(p.left, 5 * expected.cellWidth + 2);
  EXPECT_EQ(p.top, 4 * expected.cellHeight + 2);
  EXPECT_EQ(f.ImgAry[29]->Width(), expected.picture);
  // The pictures take the cells' new size and start black.
  for (ui::ImageBox* im : {f.ImgAry[0], f.ImgAry[29]}) {
    ui::DibBitmap& pic = im->Picture();
    EXPECT_EQ(pic.Width(), expected.picture);
    EXPECT_EQ(pic.Height(), expected.picture + 21);
    for (int y = 0; y < pic.Height(); ++y)
      for (int x = 0; x < pic.Width(); ++x) ASSERT_EQ(pic.Pixel(x, y), RGB(0, 0, 0)) << x << "," << y;
  }
  // Every control has the new font, a live one.
  LOGFONTW lf{};
  HFONT font = reinterpret_cast<HFONT>(SendMessageW(f.Edit1().hwnd(), WM_GETFONT, 0, 0));
  EXPECT_EQ(font, f.CaptionFont());
  ASSERT_EQ(GetObjectW(font, sizeof lf, &lf), static_cast<int>(sizeof lf));
  EXPECT_EQ(lf.lfHeight, -18);
  RECT r;
  GetWindowRect(f.hwnd(), &r);
  EXPECT_EQ(r.left, 100);
  EXPECT_EQ(r.right - r.left, outer.cx);
}

TEST_F(MainFormTest, EveryCellFitsInTheGridAreaAtEachScale) {
  auto& f = Start();
  for (int dpi : {96, 120, 144, 168, 192, 216, 240, 288}) {
    SCOPED_TRACE(dpi);
    RECT suggested{0, 0, 600, 800};
    SendMessageW(f.hwnd(), WM_DPICHANGED, MAKEWPARAM(dpi, dpi), reinterpret_cast<LPARAM>(&suggested));
    RECT last = f.PnlAry[29]->AsControl().Bounds();
    EXPECT_LE(last.right, f.Panel102().Width());
    EXPECT_LE(last.bottom, f.Panel102().Height());
    // The three bands fill the window's height.
    EXPECT_EQ(f.Panel101().Height() + f.Panel102().Height() + f.Panel103().Height(), f.ClientSize().cy);
    EXPECT_GT(f.Panel103().Height(), 0);
  }
}

}  // namespace
}  // namespace tesmar

namespace tesmar::test {
namespace {

bool SaysReadOnly(const ShownBox& b) { return b.text.find(u"書き込めない") != std::u16string::npos; }

// A program folder that cannot be written (here: on a drive that does not exist) is said once,
// at start, with the folder; the program works on and does not complain again at its exit.
TEST_F(MainFormTest, ProgramFolderThatCannotBeWrittenIsSaidOnceAtStart) {
  const std::u16string folder = u"Q:\\Program Files\\Tesmar";
  form = std::make_unique<TTesmarMainForm>(folder + u"\\Tesmar.exe");
  form->Create();
  ASSERT_EQ(shown.size(), 1u);
  EXPECT_TRUE(SaysReadOnly(shown[0])) << Utf16ToUtf8(shown[0].text);
  EXPECT_NE(shown[0].text.find(folder), std::u16string::npos);
  EXPECT_TRUE(shown[0].flags & MB_ICONWARNING);
  EXPECT_TRUE(IsWindow(form->hwnd()));
  Close();
  for (std::size_t i = 1; i < shown.size(); ++i) ADD_FAILURE() << Utf16ToUtf8(shown[i].text);
  EXPECT_EQ(shown.size(), 1u);

  shown.clear();
  Start();  // a folder that can be written: nothing to say, and the settings are written at exit
  Close();
  for (const auto& b : shown) EXPECT_FALSE(SaysReadOnly(b));
  EXPECT_TRUE(std::filesystem::exists(File("Tesmar.ini")));
}

}  // namespace
}  // namespace tesmar::test
