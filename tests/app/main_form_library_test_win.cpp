// The main window's catalogue, preview grid, paging and hint file, driven through its handlers
// with real windows under Wine; dialogs and Notepad are answered through the seams.
#include <gtest/gtest.h>

#include <fstream>

#include "app/main_form_win.h"
#include "cadlink/setting_form_win.h"
#include "cadlink/target_cad_form_win.h"
#include "base/codepage.h"
#include "base/strings.h"
#include "dwg/dwg_writer.h"
#include "library/demo_library.h"
#include "library/preview_fit.h"
#include "tests/app/main_form_fixture_win.h"
#include "tests/support/dwg_writer.h"
#include "tests/support/real_pointer_win.h"
#include "tests/support/testdata.h"
#include "ui/seams.h"
#include "ui/topmost.h"
#include "viewer/zoomer_form_win.h"

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
  // The status says so, after the start's drawing-folder change as after the walk alone.
  EXPECT_EQ(f.Edit1().Text(), u"図面がありません");
  f.ComboBox1Change();
  EXPECT_EQ(Caption(), u"\\");
  EXPECT_EQ(f.Edit1().Text(), u"図面がありません");
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

  // Notepad's UTF-8 without a byte-order mark reads as UTF-8.
  test::WriteFile(Lib() / "TesmarHint.txt", Utf16ToUtf8(u"tee,\"ティー 25A\"\r\n"));
  f.Image1MouseMove(*f.ImgAry[1], 3, 3);
  EXPECT_EQ(f.Edit1().Text(), u"ティー 25A");
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
  EXPECT_EQ(test::ReadFile(hint), "pump,\r\nValve-A,\r\n");  // the names as they are
  ASSERT_EQ(opened.size(), 1u);
  EXPECT_EQ(opened[0], u"open|Notepad|\"" + U16FromPath(hint) + u"\"");

  // pump leaves, tee comes: the line of pump is commented out, tee appended, no question.
  test::WriteFile(hint, "\xEF\xBB\xBFPUMP,\"old pump\"\r\nVALVE-A,valve\r\n");
  std::filesystem::remove(Lib() / "pump.DWG");
  Drawing(Lib() / "tee.dwg");
  f.ComboBox2Change();
  f.N8Click();
  EXPECT_EQ(shown.size(), 2u);
  EXPECT_EQ(test::ReadFile(hint), "\xEF\xBB\xBF//PUMP,\"old pump\"\r\nVALVE-A,valve\r\ntee,\r\n");
  EXPECT_EQ(opened.size(), 2u);

  // A file that cannot be saved is told in the user's words; it stays as it was and Notepad
  // is not opened on it.
  std::filesystem::remove(Lib() / "tee.dwg");
  Drawing(Lib() / "elbow.dwg");
  f.ComboBox2Change();
  ASSERT_TRUE(SetFileAttributesW(hint.c_str(), FILE_ATTRIBUTE_READONLY));
  answer = IDOK;
  f.N8Click();
  SetFileAttributesW(hint.c_str(), FILE_ATTRIBUTE_NORMAL);
  ASSERT_EQ(shown.size(), 3u);
  EXPECT_NE(shown[2].text.find(u"読み取り専用"), std::u16string::npos) << Utf16ToUtf8(shown[2].text);
  EXPECT_EQ(shown[2].text.find(u"cannot"), std::u16string::npos);
  EXPECT_EQ(shown[2].flags & MB_ICONMASK, UINT(MB_ICONWARNING));
  EXPECT_EQ(test::ReadFile(hint), "\xEF\xBB\xBF//PUMP,\"old pump\"\r\nVALVE-A,valve\r\ntee,\r\n");
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

// ---- Faults found when the library was tried as a new user would

std::vector<std::u16string> Names(std::initializer_list<const char16_t*> names) {
  return std::vector<std::u16string>(names.begin(), names.end());
}

// Drive Y: of the test prefix, a folder of the build (tools/wine-env.sh maps it), emptied
// before and after use.
class DriveY {
 public:
  DriveY() { Empty(); }
  ~DriveY() { Empty(); }
  static bool Mapped() { return GetDriveTypeW(L"Y:\\") > DRIVE_NO_ROOT_DIR; }
  std::filesystem::path Root() const { return std::filesystem::path(L"Y:\\"); }

 private:
  void Empty() {
    std::error_code ec;
    if (!Mapped()) return;
    for (auto& e : std::filesystem::directory_iterator(Root(), ec)) std::filesystem::remove_all(e.path(), ec);
  }
};

// The visible top-level window of this thread that `owner` owns (a dialog it shows); null
// when there is none.

HWND OwnedDialog(HWND owner) {
  struct Find {
    HWND owner, found = nullptr;
  } find{owner};
  EnumThreadWindows(
      GetCurrentThreadId(),
      [](HWND w, LPARAM lp) {
        auto* f = reinterpret_cast<Find*>(lp);
        if (IsWindowVisible(w) && GetWindow(w, GW_OWNER) == f->owner) f->found = w;
        return f->found ? FALSE : TRUE;
      },
      reinterpret_cast<LPARAM>(&find));
  return find.found;
}

TEST_F(LibraryFormTest, EachCellSelectsItsOwnDrawingInComboBox3) {
  for (const char* name : {"ab.dwg", "a_b.dwg", "a-c.dwg", "A10.dwg", "a9.dwg"}) Drawing(Lib() / name);
  Drawing(Lib() / PathFromU16(u"アーム.dwg"));
  Drawing(Lib() / PathFromU16(u"いす.dwg"));
  auto& f = StartWith(Lib());
  ASSERT_EQ(f.ComboBox3().Count(), 7);
  EXPECT_EQ(f.ComboBox3().Items(), f.grid.dxfNameSL);
  for (int i = 0; i < 7; ++i) {
    SCOPED_TRACE(i);
    f.Image1MouseMove(*f.ImgAry[i], 3, 3);
    EXPECT_EQ(f.ComboBox3().Text(), f.ImgAry[i]->Hint());
  }
}

TEST_F(LibraryFormTest, AFolderOutsideTheAnsiCodePageIsKeptInTheListAndAsTopDir) {
  const std::filesystem::path mueller = dir / PathFromU16(u"Müller ①");
  Drawing(Lib() / "a.dwg");
  Drawing(mueller / "b.dwg");
  auto& f = StartWith(Lib());
  ui::SeamOverride<ui::ChooseFolderFn> chooser(ui::ChooseFolderSeam(), [&](HWND, std::u16string_view) {
    return std::optional<std::u16string>(U16FromPath(mueller));
  });
  f.Button2Click();
  ASSERT_EQ(f.topFolders.Chosen(), U16FromPath(mueller));
  Close();
  const std::string list = test::ReadFile(File("TesmarTopDirs.txt"));
  EXPECT_EQ(list, "\xEF\xBB\xBF" + Utf16ToUtf8(U16FromPath(Lib()) + u"\r\n" + U16FromPath(mueller) + u"\r\n"));
  wchar_t topDir[512] = {};
  GetPrivateProfileStringW(L"DWG", L"topDir", L"", topDir, 512, (dir / "Tesmar.ini").wstring().c_str());
  EXPECT_EQ(FromWide(topDir), U16FromPath(mueller));

  auto& again = Start();
  EXPECT_EQ(again.ComboBox1().Items(), (std::vector<std::u16string>{U16FromPath(Lib()), U16FromPath(mueller)}));
  EXPECT_EQ(again.ComboBox1().Text(), U16FromPath(mueller));
  EXPECT_EQ(again.ComboBox3().Items(), Names({u"b.dwg"}));
}

TEST_F(LibraryFormTest, HintLinesForNamesWithBlanksOrOutsideTheAnsiCodePageReadBack) {
  Drawing(Lib() / "new valve.DWG");
  Drawing(Lib() / PathFromU16(u"Müller.dwg"), 3);
  const auto hint = Lib() / "TesmarHint.txt";
  test::WriteFile(hint, Utf16ToAnsi(u"弁,\"ゲート弁 50A\"\r\n"));
  auto& f = StartWith(Lib());
  ui::SeamOverride<ui::ShellOpenFn> shell(ui::ShellOpenSeam(), [&](HWND, std::u16string_view, std::u16string_view,
                                                                   std::u16string_view, std::u16string_view, int) {
    return INT_PTR(42);
  });
  f.N8Click();
  const std::string first = test::ReadFile(hint);
  EXPECT_EQ(first, "\xEF\xBB\xBF" + Utf16ToUtf8(u"//弁,\"ゲート弁 50A\"\r\nMüller,\r\n\"new valve\",\r\n"));
  f.N8Click();
  EXPECT_EQ(test::ReadFile(hint), first) << "the second update adds no line";

  // The descriptions the user writes show on hover.
  test::WriteFile(hint, "\xEF\xBB\xBF" + Utf16ToUtf8(u"\"NEW VALVE\",\"gate valve\"\r\nMüLLER,\"ポンプ 2\"\r\n"));
  ASSERT_EQ(f.ComboBox3().Items(), Names({u"Müller.dwg", u"new valve.DWG"}));
  f.Image1MouseMove(*f.ImgAry[1], 3, 3);
  EXPECT_EQ(f.Edit1().Text(), u"gate valve");
  f.Image1MouseMove(*f.ImgAry[0], 3, 3);
  EXPECT_EQ(f.Edit1().Text(), u"ポンプ 2");
}

TEST_F(LibraryFormTest, ADpiChangeShowsThePreviewsAgainAtTheNewCellSize) {
  Drawing(Lib() / "a.dwg");
  Drawing(Lib() / "b.dwg", 4);
  auto& f = StartWith(Lib());
  const int before = f.ImgAry[0]->Width();
  RECT r;
  GetWindowRect(f.hwnd(), &r);
  RECT suggested{r.left, r.top, r.left + (r.right - r.left) * 3 / 2, r.top + (r.bottom - r.top) * 3 / 2};
  SendMessageW(f.hwnd(), WM_DPICHANGED, MAKEWPARAM(144, 144), reinterpret_cast<LPARAM>(&suggested));
  EXPECT_GT(f.ImgAry[0]->Width(), before);
  for (int i = 0; i < 2; ++i) {
    SCOPED_TRACE(i);
    EXPECT_EQ(f.ImgAry[i]->Picture().Width(), f.ImgAry[i]->Width());
    EXPECT_TRUE(ShowsPreview(*f.ImgAry[i]));
  }
  EXPECT_TRUE(AllBlack(*f.ImgAry[2]));
  EXPECT_EQ(f.Label1().Text(), u"1 / 1");
}

TEST_F(LibraryFormTest, ADriveRootAsTopFolderShowsItsOwnDrawings) {
  if (!DriveY::Mapped()) GTEST_SKIP() << "drive Y: is not mapped in this prefix (tools/wine-env.sh maps it)";
  DriveY drive;
  Drawing(drive.Root() / "GATE-VALVE.dwg");
  Drawing(drive.Root() / "sub" / "PUMP.dwg", 5);
  test::WriteFile(File("TesmarTopDirs.txt"), "Y:\\\r\n");
  auto& f = Start();
  EXPECT_EQ(f.ComboBox2().Items(), Names({u".", u"sub"}));
  EXPECT_EQ(f.ComboBox3().Items(), Names({u"GATE-VALVE.dwg"}));
  EXPECT_EQ(f.Label1().Text(), u"1 / 1");
  EXPECT_EQ(Caption(), u"\\");
  EXPECT_EQ(f.g_dxfPath, u"Y:\\");
  EXPECT_TRUE(ShowsPreview(*f.ImgAry[0]));
  // The hint file and the hovered drawing's path go through the same join.
  std::vector<std::u16string> opened;
  ui::SeamOverride<ui::ShellOpenFn> shell(ui::ShellOpenSeam(), [&](HWND, std::u16string_view, std::u16string_view,
                                                                   std::u16string_view params, std::u16string_view, int) {
    opened.emplace_back(params);
    return INT_PTR(42);
  });
  answer = IDYES;
  f.N8Click();
  EXPECT_EQ(opened, Names({u"\"Y:\\TesmarHint.txt\""}));
  EXPECT_EQ(test::ReadFile(drive.Root() / "TesmarHint.txt"), "GATE-VALVE,\r\n");
  std::filesystem::remove(drive.Root() / "TesmarHint.txt");
  f.Image1MouseMove(*f.ImgAry[0], 3, 3);
  EXPECT_TRUE(f.Edit1().Text().ends_with(u"] GATE-VALVE.dwg"));
  f.ComboBox2().SetItemIndex(1);
  f.ComboBox2Change();
  EXPECT_EQ(f.ComboBox3().Items(), Names({u"PUMP.dwg"}));
  EXPECT_EQ(Caption(), u"\\sub\\");
}

// As a user does it: the real pointer clicks the chooser's キャンセル, then its OK (which adds
// the folder the chooser opens on, the prefix's empty Desktop). Either way the main window is
// back above another program's active window. It owns the program's other windows, hidden, as
// after start-up.
TEST_F(LibraryFormTest, TheFolderChooserGivesTheTopmostBandBackOnCancelAndOk) {
  Drawing(Lib() / "a.dwg");
  auto& f = StartWith(Lib());
  TMorvikZoomerForm zoomer;
  TMorvikSettingForm setting;
  TTargetCADForm target;
  zoomer.Create(f.hwnd());
  setting.Create(f.hwnd());
  target.Create(f.hwnd());
  ShowWindow(f.hwnd(), SW_SHOW);
  ASSERT_TRUE(ui::IsTopmost(f.hwnd()));
  // Another program's window over the same place, active: the main window stays above it.
  RECT r;
  GetWindowRect(f.hwnd(), &r);
  HWND other = CreateWindowExW(0, L"Static", L"other", WS_POPUP | WS_VISIBLE, r.left, r.top, r.right - r.left,
                               r.bottom - r.top, nullptr, nullptr, nullptr, nullptr);
  ASSERT_TRUE(other);
  const POINT centre{(r.left + r.right) / 2, (r.top + r.bottom) / 2};
  auto mainOnTop = [&] {
    SetForegroundWindow(other);
    ui::ProcessMessages();
    return GetAncestor(WindowFromPoint(centre), GA_ROOT) == f.hwnd();
  };
  ASSERT_TRUE(mainOnTop());
  static HWND owner;
  static int button;
  static bool topmostWhileOpen, clicked, started, clickMissed;
  static DWORD clickedAt;
  owner = f.hwnd();
  for (int choice : {IDCANCEL, IDOK}) {
    SCOPED_TRACE(choice == IDOK ? "OK" : "Cancel");
    button = choice;
    clicked = started = clickMissed = false;
    // A timer of this thread waits for the chooser and has the pointer click its button; a
    // chooser still open 20 s later is closed so that the test ends.
    const UINT_PTR timer = SetTimer(nullptr, 0, 200, [](HWND, UINT, UINT_PTR, DWORD) {
      HWND dialog = OwnedDialog(owner);
      if (!dialog) return;
      if (clicked) {
        if (!clickMissed && GetTickCount() - clickedAt > 20000) {
          clickMissed = true;
          PostMessageW(dialog, WM_COMMAND, IDCANCEL, 0);
        }
        return;
      }
      topmostWhileOpen = ui::IsTopmost(owner);
      clickedAt = GetTickCount();
      clicked = true;
      started = test::StartRealPointer(test::ClickAtCentreOf(GetDlgItem(dialog, button)));
    });
    f.Button2Click();
    KillTimer(nullptr, timer);
    ASSERT_TRUE(clicked) << "the chooser did not open";
    ASSERT_TRUE(started) << "xdotool cannot be started";
    EXPECT_FALSE(clickMissed) << "the pointer's click did not close the chooser";
    for (int i = 0; i < 10; ++i) {  // the window system's own events after the click
      ui::ProcessMessages();
      Sleep(50);
    }
    EXPECT_FALSE(topmostWhileOpen);
    EXPECT_TRUE(ui::IsTopmost(f.hwnd()));
    EXPECT_TRUE(mainOnTop());
  }
  EXPECT_EQ(f.ComboBox1().Items().size(), 2u);
  DestroyWindow(other);
}

TEST_F(LibraryFormTest, ADroppedListStaysWithinTheWorkArea) {
  struct Case {
    std::size_t nameLength;
    int windowLeft;
  } cases[] = {{157, 500}, {250, 900}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.nameLength);
    std::filesystem::remove_all(Lib());
    Drawing(Lib() / (std::string(c.nameLength - 4, 'W') + ".dwg"));
    Drawing(Lib() / "short.dwg");
    auto& f = StartWith(Lib());
    ShowWindow(f.hwnd(), SW_SHOWNA);
    SetWindowPos(f.hwnd(), nullptr, c.windowLeft, 100, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
    f.ComboBox3().SetDroppedDown(true);
    ui::ProcessMessages();
    COMBOBOXINFO info{};
    info.cbSize = sizeof info;
    ASSERT_TRUE(GetComboBoxInfo(f.ComboBox3().hwnd(), &info));
    RECT list;
    GetWindowRect(info.hwndList, &list);
    MONITORINFO monitor{};
    monitor.cbSize = sizeof monitor;
    GetMonitorInfoW(MonitorFromWindow(f.hwnd(), MONITOR_DEFAULTTONEAREST), &monitor);
    EXPECT_GE(list.left, monitor.rcWork.left);
    EXPECT_LE(list.right, monitor.rcWork.right);
    EXPECT_EQ(list.right - list.left,
              std::min<int>(f.ComboBox3().DroppedWidth(), monitor.rcWork.right - monitor.rcWork.left));
    f.ComboBox3().SetDroppedDown(false);
    Close();
  }
}

TEST_F(LibraryFormTest, AFolderWithoutDrawingsClearsTheGridLabelAndStatus) {
  Drawing(Lib() / "a.dwg");
  Drawing(Lib() / "b.dwg", 2);
  std::filesystem::create_directories(dir / "Empty");
  auto& f = StartWith(Lib());
  f.Image1MouseMove(*f.ImgAry[1], 3, 3);
  ASSERT_FALSE(f.Edit1().Text().empty());
  // The folder loses its drawings while the program runs.
  std::filesystem::remove(Lib() / "a.dwg");
  std::filesystem::remove(Lib() / "b.dwg");
  f.ComboBox2Change();
  EXPECT_EQ(f.ComboBox3().Count(), 0);
  EXPECT_EQ(f.Label1().Text(), u"");
  EXPECT_EQ(f.Edit1().Text(), u"図面がありません");
  for (auto* im : f.ImgAry) {
    EXPECT_EQ(im->Hint(), u"");
    EXPECT_TRUE(AllBlack(*im));
  }
  // A new top folder without drawings leaves no label of the folder before.
  Drawing(Lib() / "a.dwg");
  f.ComboBox2Change();
  ASSERT_EQ(f.Label1().Text(), u"1 / 1");
  ui::SeamOverride<ui::ChooseFolderFn> chooser(ui::ChooseFolderSeam(), [&](HWND, std::u16string_view) {
    return std::optional<std::u16string>(U16FromPath(dir / "Empty"));
  });
  f.Button2Click();
  EXPECT_EQ(f.Label1().Text(), u"");
  for (auto* im : f.ImgAry) EXPECT_TRUE(AllBlack(*im));
}

TEST_F(LibraryFormTest, TopFoldersAreWrittenFromTheProgramEvenWhenTheListWindowIsGone) {
  Drawing(Lib() / "a.dwg");
  Drawing(dir / "Other" / "b.dwg");
  test::WriteFile(File("TesmarTopDirs.txt"),
                  Utf16ToAnsi(U16FromPath(Lib())) + "\r\n" + Utf16ToAnsi(U16FromPath(dir / "Other")) + "\r\n");
  const std::string before = test::ReadFile(File("TesmarTopDirs.txt"));
  auto& f = Start();
  f.ComboBox1().SetItemIndex(1);
  f.ComboBox1Change();
  ASSERT_EQ(f.ComboBox3().Items(), Names({u"b.dwg"}));
  // The drop-down's list window is closed from outside, as taskkill closes every top-level
  // window of the process.
  COMBOBOXINFO info{};
  info.cbSize = sizeof info;
  ASSERT_TRUE(GetComboBoxInfo(f.ComboBox1().hwnd(), &info));
  DestroyWindow(info.hwndList);
  Close();
  EXPECT_EQ(test::ReadFile(File("TesmarTopDirs.txt")), before);
  wchar_t topDir[512] = {};
  GetPrivateProfileStringW(L"DWG", L"topDir", L"", topDir, 512, (dir / "Tesmar.ini").wstring().c_str());
  EXPECT_EQ(FromWide(topDir), U16FromPath(dir / "Other"));

  // Removing every folder is the one way to an empty list.
  auto& again = Start();
  answer = IDYES;
  again.Button3Click();
  again.Button3Click();
  EXPECT_TRUE(again.topFolders.Empty());
  Close();
  EXPECT_EQ(test::ReadFile(File("TesmarTopDirs.txt")), "");
}

}  // namespace
}  // namespace tesmar
