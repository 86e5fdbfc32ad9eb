// The main window's catalogue, preview grid, paging and hint file, driven through its handlers
// with real windows under Wine; dialogs and Notepad are answered through the seams.
#include <gtest/gtest.h>

#include <fstream>

#include "app/main_form_win.h"
#include "base/codepage.h"
#include "base/strings.h"
#include "dwg/dwg_writer.h"
#include "library/demo_library.h"
#include "library/preview_fit.h"
#include "tests/app/main_form_fixture_win.h"
#include "tests/support/dwg_writer.h"
#include "tests/support/testdata.h"
#include "ui/seams.h"
#include "ui/topmost.h"

namespace tesmar {
namespace {

constexpr COLORREF kAquaRef = RGB(0, 255, 255);

class LibraryFormTest : public test::MainFormTest {
 protected:
  // Registers `top` as the only top folder before the window starts.
  TTesmarMainForm& StartWith(const std::filesystem::path& top) {
    test::WriteFile(File("TesmarTopDirs.txt"), Utf16ToAnsi(U16FromPath(top)) + "\r\n");
    return Start();
  }
  std::filesystem::path Lib() const { return dir / "lib"; }
  void Drawing(const std::filesystem::path& file, int symbol = 0) {
    test::WriteFile(file, MakeDwgFile(DwgWithImage(2, MakeDib8(DrawDemoSymbol(symbol, 160, 100, true)))));
  }
  static int CountColour(ui::ImageBox& im, COLORREF c) {
    int n = 0;
    auto& pic = im.Picture();
    for (int y = 0; y < pic.Height(); ++y)
      for (int x = 0; x < pic.Width(); ++x) n += pic.Pixel(x, y) == c;
    return n;
  }
  static bool AllBlack(ui::ImageBox& im) {
    return CountColour(im, RGB(0, 0, 0)) == im.Picture().Width() * im.Picture().Height();
  }
  static bool ShowsCross(ui::ImageBox& im) {
    const int d = im.Picture().Width() / 8;
    return im.Picture().Pixel(d, d) == kAquaRef && im.Picture().Pixel(2 * d - 1, d + 1) == kAquaRef;
  }
  static bool ShowsPreview(ui::ImageBox& im) { return !AllBlack(im) && !ShowsCross(im); }
  std::u16string Caption() const { return ui::WindowText(form->hwnd()); }
};

TEST_F(LibraryFormTest, CatalogueListsTheFoldersThatHoldDrawingsAndShowsTheFirst) {
  Drawing(Lib() / "top.dwg");
  Drawing(Lib() / "A" / "b.DWG", 1);
  Drawing(Lib() / "A" / "B" / "c.dwg", 2);
  Drawing(Lib() / "D" / "E" / "f.dwg", 3);
  std::filesystem::create_directories(Lib() / "G");
  auto& f = StartWith(Lib());
  EXPECT_EQ(f.ComboBox2().Items(), (std::vector<std::u16string>{u".", u"A", u"A\\B", u"D\\E"}));
  EXPECT_EQ(f.ComboBox2().ItemIndex(), 0);
  EXPECT_EQ(f.ComboBox3().Items(), std::vector<std::u16string>{u"top.dwg"});
  EXPECT_EQ(f.ComboBox3().ItemIndex(), 0);
  EXPECT_EQ(f.Label1().Text(), u"1 / 1");
  EXPECT_EQ(Caption(), u"\\");
  EXPECT_EQ(f.g_dxfPath, U16FromPath(Lib()) + u"\\");
  EXPECT_EQ(f.ImgAry[0]->Hint(), u"top.dwg");
  EXPECT_TRUE(ShowsPreview(*f.ImgAry[0]));
  EXPECT_EQ(f.ImgAry[1]->Hint(), u"");
  EXPECT_TRUE(AllBlack(*f.ImgAry[1]));

  f.ComboBox2().SetItemIndex(2);
  f.ComboBox2Change();
  EXPECT_EQ(f.ComboBox3().Items(), std::vector<std::u16string>{u"c.dwg"});
  EXPECT_EQ(Caption(), u"\\A\\B\\");
  EXPECT_EQ(f.ImgAry[0]->Hint(), u"c.dwg");
}

TEST_F(LibraryFormTest, TopFolderWithoutDrawings) {
  test::WriteFile(Lib() / "A" / "readme.txt", "x");
  auto& f = StartWith(Lib());
  EXPECT_EQ(f.ComboBox2().Count(), 0);
  EXPECT_EQ(f.ComboBox3().Count(), 0);
  EXPECT_EQ(Caption(), u"\\");
  for (auto* im : f.ImgAry) EXPECT_TRUE(AllBlack(*im));
  // Start-up runs the drawing-folder change after the walk, which empties the status; the walk
  // alone leaves its text.
  f.ComboBox1Change();
  EXPECT_EQ(Caption(), u"\\");
  EXPECT_EQ(f.Edit1().Text(), u"DWG ファイル検索中 ...");
}

TEST_F(LibraryFormTest, AddingAndRemovingTopFolders) {
  Drawing(Lib() / "a.dwg");
  Drawing(dir / "Other" / "x" / "b.dwg");
  auto& f = StartWith(Lib());
  std::vector<std::u16string> titles;
  std::u16string answer;
  bool topmostWhileOpen = true;
  ui::SeamOverride<ui::ChooseFolderFn> chooser(ui::ChooseFolderSeam(), [&](HWND, std::u16string_view title) {
    titles.emplace_back(title);
    topmostWhileOpen = ui::IsTopmost(f.hwnd());
    return answer.empty() ? std::nullopt : std::optional<std::u16string>(answer);
  });

  // Already registered, in other letter case: nothing changes.
  std::u16string upper = U16FromPath(Lib());
  for (auto& c : upper) c = FoldCase16(c) == c && c >= u'a' && c <= u'z' ? char16_t(c - 32) : c;
  answer = upper;
  f.Button2Click();
  EXPECT_EQ(titles, std::vector<std::u16string>{u"フォルダの指定"});
  EXPECT_FALSE(topmostWhileOpen);
  EXPECT_TRUE(ui::IsTopmost(f.hwnd()));
  EXPECT_EQ(f.ComboBox1().Count(), 1);

  answer = U16FromPath(dir / "Other");
  f.Button2Click();
  EXPECT_EQ(f.ComboBox1().Count(), 2);
  EXPECT_EQ(f.ComboBox1().Text(), answer);
  EXPECT_EQ(f.ComboBox2().Items(), std::vector<std::u16string>{u"x"});
  EXPECT_EQ(f.ImgAry[0]->Hint(), u"b.dwg");

  // Removing asks first; No keeps the entry.
  answer.clear();
  this->answer = IDNO;
  f.Button3Click();
  ASSERT_EQ(shown.size(), 1u);
  EXPECT_EQ(shown[0].text, U16FromPath(dir / "Other") + u" の登録を削除しますか？");
  EXPECT_EQ(shown[0].flags & (MB_ICONMASK | MB_TYPEMASK), UINT(MB_ICONINFORMATION | MB_YESNO));
  EXPECT_EQ(f.ComboBox1().Count(), 2);
  this->answer = IDYES;
  f.Button3Click();
  f.Button3Click();
  EXPECT_EQ(f.ComboBox1().Count(), 0);
  EXPECT_EQ(f.ComboBox1().Text(), u"");
  EXPECT_EQ(f.ComboBox2().Count(), 0);
  for (auto* im : f.ImgAry) EXPECT_TRUE(AllBlack(*im));
  f.Button3Click();  // nothing selected: no question
  EXPECT_EQ(shown.size(), 3u);
}

TEST_F(LibraryFormTest, PagingButtonsTurnOnePageAtThePressAndRepeatWhileHeld) {
  WriteDemoFolder(Lib(), 95);
  auto& f = StartWith(Lib());
  EXPECT_EQ(f.Label1().Text(), u"1 / 4");
  EXPECT_TRUE(f.grid.g_ImgDnNG);
  // A quick click: exactly one page.
  f.Edit1().SetText(u"x");
  f.SpeedButton4MouseDown();
  EXPECT_EQ(f.Edit1().Text(), u"");
  EXPECT_EQ(f.Label1().Text(), u"2 / 4");
  EXPECT_EQ(f.ComboBox3().ItemIndex(), 30);
  f.SpeedButton4MouseUp();
  EXPECT_FALSE(f.Timer1().Enabled());
  f.Timer1Timer();
  EXPECT_EQ(f.Label1().Text(), u"2 / 4");

  // Held: after the repeat delay one page per tick, until the last page stops the timer.
  f.SpeedButton4MouseDown();
  EXPECT_EQ(f.Label1().Text(), u"3 / 4");
  EXPECT_TRUE(f.Timer1().Enabled());
  int ticks = 0;
  for (int top = f.grid.g_dxfTop; f.Timer1().Enabled() && ticks < 50; ++ticks) {
    f.Timer1Timer();
    EXPECT_LE(f.grid.g_dxfTop - top, 30) << "at most one page a tick";
    top = f.grid.g_dxfTop;
  }
  EXPECT_GT(ticks, 1) << "the repeat waits for the delay";
  EXPECT_EQ(f.Label1().Text(), u"4 / 4");
  EXPECT_EQ(f.CMDMODE, 0);
  EXPECT_EQ(f.ImgAry[4]->Hint(), f.grid.dxfNameSL[94]);
  EXPECT_TRUE(ShowsPreview(*f.ImgAry[4]));
  EXPECT_EQ(f.ImgAry[5]->Hint(), u"");
  EXPECT_TRUE(AllBlack(*f.ImgAry[5]));
  f.SpeedButton4MouseUp();

  // A press on the last page turns none and starts no timer.
  f.SpeedButton4MouseDown();
  EXPECT_EQ(f.grid.g_dxfTop, 90);
  EXPECT_FALSE(f.Timer1().Enabled());
  f.SpeedButton4MouseUp();

  f.SpeedButton3MouseDown();
  for (int i = 0; i < 50 && f.Timer1().Enabled(); ++i) f.Timer1Timer();
  EXPECT_EQ(f.Label1().Text(), u"1 / 4");
  EXPECT_FALSE(f.Timer1().Enabled());
  f.SpeedButton3MouseUp();
  f.SpeedButton3MouseDown();  // on page 1: nothing
  EXPECT_EQ(f.grid.g_dxfTop, 0);
  EXPECT_FALSE(f.Timer1().Enabled());
}

TEST_F(LibraryFormTest, PickingEntry65ShowsPage3WithCell5Highlighted) {
  WriteDemoFolder(Lib(), 70);
  auto& f = StartWith(Lib());
  SetCursorPos(0, 0);
  f.ComboBox3().SetItemIndex(65);
  f.ComboBox3Change();
  EXPECT_EQ(f.Label1().Text(), u"3 / 3");
  EXPECT_EQ(f.grid.g_dxfTop, 60);
  for (int i = 0; i < 30; ++i) EXPECT_EQ(f.PnlAry[i]->BevelRaised(), i != 5) << i;
  EXPECT_EQ(f.ImgAry[5]->Hint(), f.grid.dxfNameSL[65]);
  EXPECT_EQ(f.Shape1().BrushColour(), kAquaRef);
  POINT cursor, centre{f.PnlAry[5]->Width() / 2, f.PnlAry[5]->Height() / 2};
  ClientToScreen(f.PnlAry[5]->hwnd(), &centre);
  GetCursorPos(&cursor);
  EXPECT_EQ(cursor.x, centre.x);
  EXPECT_EQ(cursor.y, centre.y);
}

TEST_F(LibraryFormTest, ADamagedDrawingShowsTheCrossAndThePageGoesOn) {
  const std::string good = MakeDwgFile(DwgWithImage(6, MakePng(DrawDemoSymbol(3, 160, 100, false))));
  test::WriteFile(Lib() / "a.dwg", good);
  test::WriteFile(Lib() / "b-truncated.dwg", good.substr(0, good.size() / 2));
  test::WriteFile(Lib() / "c-r13.dwg", MakeDwgFile(DwgWithImage(2, "", "AC1012")));
  test::WriteFile(Lib() / "d-address.dwg", test::WithPreviewAddress(good, 1u << 30));
  test::WriteFile(Lib() / "e.dwg", good);
  auto& f = StartWith(Lib());
  EXPECT_TRUE(ShowsPreview(*f.ImgAry[0]));
  EXPECT_TRUE(ShowsCross(*f.ImgAry[1]));
  EXPECT_TRUE(ShowsCross(*f.ImgAry[2]));
  EXPECT_TRUE(ShowsCross(*f.ImgAry[3]));
  EXPECT_TRUE(ShowsPreview(*f.ImgAry[4]));
  EXPECT_EQ(f.Label1().Text(), u"1 / 1");
  EXPECT_EQ(f.ComboBox3().ItemIndex(), 0);
  EXPECT_FALSE(f.g_cmb2Busy);
}

TEST_F(LibraryFormTest, RealDrawingsShowTheirPreviewsOrTheCross) {
  TESMAR_REQUIRE_TESTDATA();
  auto& f = StartWith(test::SharedTestdata() / "dwg");
  ASSERT_EQ(f.ComboBox3().Count(), 38);
  EXPECT_EQ(f.Label1().Text(), u"1 / 2");
  const std::vector<std::u16string> noImage = {
      u"acadsharp__dynamic-blocks__BLOCKPOLARPARAMETER.dwg", u"acadsharp__hist__sample_AC1021@6bc05864.dwg",
      u"libredwg__2000__PolyLine2D.dwg", u"libredwg__2018__Arc.dwg", u"libredwg__2018__Leader.dwg",
      u"libredwg__example_r13.dwg"};
  for (int page = 0; page < 2; ++page) {
    for (auto* im : f.ImgAry) {
      if (im->Hint().empty()) continue;
      SCOPED_TRACE(std::string(im->Hint().begin(), im->Hint().end()));
      bool none = std::find(noImage.begin(), noImage.end(), im->Hint()) != noImage.end();
      EXPECT_EQ(ShowsCross(*im), none);
      EXPECT_EQ(ShowsPreview(*im), !none);
    }
    f.SpeedButton4MouseDown();
    f.SpeedButton4MouseUp();
  }
}

TEST_F(LibraryFormTest, HoverShowsTheDescriptionOrTheFileDate) {
  Drawing(Lib() / "Valve-A.dwg");
  Drawing(Lib() / "pump.DWG", 6);
  Drawing(Lib() / "tee.dwg", 9);
  test::WriteFile(Lib() / "TesmarHint.txt", Utf16ToAnsi(u"valve-a,\"ゲート弁 50A\"\r\nPUMP,two words\r\n"));
  auto& f = StartWith(Lib());
  ASSERT_EQ(f.ComboBox3().Items(), (std::vector<std::u16string>{u"pump.DWG", u"tee.dwg", u"Valve-A.dwg"}));
  f.Image1MouseMove(*f.ImgAry[2], 3, 3);
  EXPECT_EQ(f.Edit1().Text(), u"ゲート弁 50A");
  EXPECT_FALSE(f.PnlAry[2]->BevelRaised());
  EXPECT_EQ(f.ComboBox3().ItemIndex(), 2);
  f.Image1MouseMove(*f.ImgAry[0], 3, 3);
  EXPECT_EQ(f.Edit1().Text(), u"two");
  EXPECT_TRUE(f.PnlAry[2]->BevelRaised());
  f.Image1MouseMove(*f.ImgAry[1], 3, 3);
  const std::u16string date = f.Edit1().Text();
  ASSERT_EQ(date.size(), std::u16string(u"[2023/08/11 09:05:00] tee.dwg").size()) << std::string(date.begin(), date.end());
  EXPECT_EQ(date.substr(0, 1), u"[");
  EXPECT_EQ(date.substr(date.size() - 9), u"] tee.dwg");
  // Staying in the cell does not show it again; an empty cell clears the text and selection.
  f.Edit1().SetText(u"kept");
  f.Image1MouseMove(*f.ImgAry[1], 4, 4);
  EXPECT_EQ(f.Edit1().Text(), u"kept");
  f.Image1MouseMove(*f.ImgAry[7], 4, 4);
  EXPECT_EQ(f.Edit1().Text(), u"");
  EXPECT_EQ(f.ComboBox3().ItemIndex(), -1);
}

TEST_F(LibraryFormTest, HintFileIsCreatedOnYesAndUpdatedWithoutAsking) {
  Drawing(Lib() / "Valve-A.dwg");
  Drawing(Lib() / "pump.DWG", 6);
  auto& f = StartWith(Lib());
  std::vector<std::u16string> opened;
  ui::SeamOverride<ui::ShellOpenFn> shell(ui::ShellOpenSeam(), [&](HWND, std::u16string_view verb, std::u16string_view file,
                                                                   std::u16string_view params, std::u16string_view,
                                                                   int show) {
    opened.push_back(std::u16string(verb) + u"|" + std::u16string(file) + u"|" + std::u16string(params));
    EXPECT_EQ(show, SW_SHOWNORMAL);
    return INT_PTR(42);
  });
  const auto hint = Lib() / "TesmarHint.txt";
  answer = IDNO;
  f.N8Click();
  ASSERT_EQ(shown.size(), 1u);
  EXPECT_EQ(shown[0].text, u"説明ファイル TesmarHint.txt のたたき台を作成しますか？");
  EXPECT_EQ(shown[0].flags & (MB_ICONMASK | MB_TYPEMASK), UINT(MB_ICONQUESTION | MB_YESNO));
  EXPECT_FALSE(std::filesystem::exists(hint));
  EXPECT_TRUE(opened.empty());

  answer = IDYES;
  f.N8Click();
  EXPECT_EQ(test::ReadFile(hint), "PUMP,\r\nVALVE-A,\r\n");
  ASSERT_EQ(opened.size(), 1u);
  EXPECT_EQ(opened[0], u"open|Notepad|\"" + U16FromPath(hint) + u"\"");

  // pump leaves, tee comes: the line of pump is commented out, tee appended, no question.
  test::WriteFile(hint, "\xEF\xBB\xBFPUMP,\"old pump\"\r\nVALVE-A,valve\r\n");
  std::filesystem::remove(Lib() / "pump.DWG");
  Drawing(Lib() / "tee.dwg");
  f.ComboBox2Change();
  f.N8Click();
  EXPECT_EQ(shown.size(), 2u);
  EXPECT_EQ(test::ReadFile(hint), "\xEF\xBB\xBF//PUMP,\"old pump\"\r\nVALVE-A,valve\r\nTEE,\r\n");
  EXPECT_EQ(opened.size(), 2u);
}

TEST_F(LibraryFormTest, ClipSwitchReloadsFromPageOneAndSizeItemsStepByOnePixel) {
  WriteDemoFolder(Lib(), 40);
  auto& f = StartWith(Lib());
  f.SpeedButton4MouseDown();
  f.SpeedButton4MouseUp();
  ASSERT_EQ(f.grid.g_dxfTop, 30);
  f.N12Click();
  EXPECT_FALSE(g_ImageClip);
  EXPECT_EQ(f.MenuItem(u"N10").Caption(), u"プレビューイメージ=そのまま");
  EXPECT_EQ(f.grid.g_dxfTop, 0);
  EXPECT_EQ(f.Label1().Text(), u"1 / 2");
  f.N11Click();
  EXPECT_TRUE(g_ImageClip);
  EXPECT_EQ(f.MenuItem(u"N10").Caption(), u"プレビューイメージ=拡大");

  RECT before, after;
  GetWindowRect(f.hwnd(), &before);
  f.WidthWidth11Click(f.MenuItem(u"WidthWidth11"));
  f.WidthWidth11Click(f.MenuItem(u"HeightHeight12"));
  f.WidthWidth11Click(f.MenuItem(u"N5"));
  GetWindowRect(f.hwnd(), &after);
  EXPECT_EQ(after.right - after.left, before.right - before.left + 1);
  EXPECT_EQ(after.bottom - after.top, before.bottom - before.top - 1);
  EXPECT_EQ(after.left, before.left);
}

TEST_F(LibraryFormTest, AWideDroppedListNearTheScreenEdgeOpensToTheLeft) {
  Drawing(Lib() / (std::string(120, 'W') + ".dwg"));
  auto& f = StartWith(Lib());
  ShowWindow(f.hwnd(), SW_SHOWNA);
  // Room for the window, not for the dropped list.
  SetWindowPos(f.hwnd(), nullptr, GetSystemMetrics(SM_CXSCREEN) - 300, 100, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
  f.ComboBox3().SetDroppedDown(true);  // the list's drop-down notification runs ComboBox1DropDown
  ui::ProcessMessages();
  EXPECT_GT(f.ComboBox3().DroppedWidth(), f.ComboBox3().Width() * 2);
  COMBOBOXINFO info{};
  info.cbSize = sizeof info;
  ASSERT_TRUE(GetComboBoxInfo(f.ComboBox3().hwnd(), &info));
  RECT list, box;
  GetWindowRect(info.hwndList, &list);
  GetWindowRect(f.ComboBox3().hwnd(), &box);
  EXPECT_EQ(list.right, box.right) << "the extra width extends to the left";
  EXPECT_EQ(list.right - list.left, f.ComboBox3().DroppedWidth());
  f.ComboBox3().SetDroppedDown(false);
}

TEST_F(LibraryFormTest, ATopFolderChangedDuringTheWalkRestartsItWithTheNewFolder) {
  Drawing(dir / "A" / "a1" / "x.dwg");
  Drawing(dir / "A" / "a2" / "x.dwg");
  Drawing(dir / "B" / "b1" / "y.dwg");
  test::WriteFile(File("TesmarTopDirs.txt"),
                  Utf16ToAnsi(U16FromPath(dir / "A")) + "\r\n" + Utf16ToAnsi(U16FromPath(dir / "B")) + "\r\n");
  auto& f = Start();
  ASSERT_EQ(f.ComboBox1().Text(), U16FromPath(dir / "A"));
  // While the walk of A lets messages through, the user picks B.
  HWND combo1 = f.ComboBox1().hwnd();
  PostMessageW(combo1, CB_SETCURSEL, 1, 0);
  PostMessageW(f.hwnd(), WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(combo1), CBN_SELCHANGE), reinterpret_cast<LPARAM>(combo1));
  f.ComboBox1Change();
  EXPECT_EQ(f.ComboBox1().Text(), U16FromPath(dir / "B"));
  EXPECT_EQ(f.ComboBox2().Items(), std::vector<std::u16string>{u"b1"});
  EXPECT_EQ(f.ComboBox3().Items(), std::vector<std::u16string>{u"y.dwg"});
}

TEST_F(LibraryFormTest, JapaneseFolderAndDrawingNames) {
  const std::filesystem::path folder = Lib() / PathFromU16(u"配管");
  Drawing(folder / PathFromU16(u"仕切弁.dwg"));
  test::WriteFile(folder / "TesmarHint.txt", Utf16ToAnsi(u"仕切弁,\"ゲート弁 50A\"\r\n"));
  auto& f = StartWith(Lib());
  EXPECT_EQ(f.ComboBox2().Items(), std::vector<std::u16string>{u"配管"});
  EXPECT_EQ(f.ComboBox3().Items(), std::vector<std::u16string>{u"仕切弁.dwg"});
  EXPECT_EQ(Caption(), u"\\配管\\");
  EXPECT_TRUE(ShowsPreview(*f.ImgAry[0]));
  f.Image1MouseMove(*f.ImgAry[0], 2, 2);
  EXPECT_EQ(f.Edit1().Text(), u"ゲート弁 50A");
}

}  // namespace
}  // namespace tesmar
