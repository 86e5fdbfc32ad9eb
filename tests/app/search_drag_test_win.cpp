// The search across the library and dragging a drawing out of a cell, driven through the main
// window's handlers, the search dialog's keys and (for the drag) the real pointer under Wine;
// insert and drop arrive in the stand-in CAD program.
#include <gtest/gtest.h>

#include <algorithm>

#include "app/forms_win.h"
#include "app/main_form_win.h"
#include "base/codepage.h"
#include "base/strings.h"
#include "cadlink/commands.h"
#include "cadlink/setting_form_win.h"
#include "cadlink/target_cad_form_win.h"
#include "dwg/dwg_writer.h"
#include "library/demo_library.h"
#include "library/preview_fit.h"
#include "tests/app/main_form_fixture_win.h"
#include "tests/support/cad_standin_win.h"
#include "tests/support/real_pointer_win.h"
#include "ui/com.h"
#include "tests/support/testdata.h"
#include "ui/gdi.h"

namespace tesmar {
namespace {

using Texts = std::vector<std::u16string>;

class SearchDragTest : public test::MainFormWithCadDialogsTest {
 protected:
  std::filesystem::path Lib() const { return dir / "lib"; }
  void Drawing(const std::filesystem::path& file, int symbol = 0) {
    test::WriteFile(file, MakeDwgFile(DwgWithImage(2, MakeDib8(DrawDemoSymbol(symbol, 160, 100, true)))));
  }
  // A library with drawings at the top, in folders whose order by character code is not
  // Explorer's, in a deep folder, and a hint file in UTF-8.
  void MakeLibrary() {
    Drawing(Lib() / "GV-100A.dwg");
    Drawing(Lib() / u8"弁" / u8"ゲート" / "GV-50A.dwg", 1);
    test::WriteFile(Lib() / u8"弁" / u8"ゲート" / "TesmarHint.txt", "\xEF\xBB\xBF" "GV-50A," "\xE3\x82\xB2\xE3\x83\xBC\xE3\x83\x88\xE3\x83\x90\xE3\x83\xAB\xE3\x83\x96" "\r\n");
    Drawing(Lib() / "P10" / "p-1.dwg", 2);
    Drawing(Lib() / "P9" / "P-2.dwg", 3);
    Drawing(Lib() / "a" / "b" / "c" / "d" / u8"深い 図面 1.dwg", 4);
  }
  // The window with `top` chosen; the reading of the library that it starts aside is waited
  // for unless `wait` is false, so that each walk of a test is its search's own.
  TTesmarMainForm& StartWith(const std::filesystem::path& top, const std::u16string& progId = u"", bool wait = true) {
    test::WriteFile(File("TesmarTopDirs.txt"), Utf16ToAnsi(U16FromPath(top)) + "\r\n");
    auto& f = Start();
    if (!progId.empty()) g_TargetProgID = progId;
    while (wait && f.SearchIndexWalk().HasWalk() && !f.SearchIndexWalk().Finished()) Sleep(1);
    return f;
  }
  std::u16string Top() const { return U16FromPath(Lib()); }
  static bool AllBlack(ui::ImageBox& im) {
    auto& pic = im.Picture();
    for (int y = 0; y < pic.Height(); ++y)
      for (int x = 0; x < pic.Width(); ++x)
        if (pic.Pixel(x, y) != RGB(0, 0, 0)) return false;
    return true;
  }
  static Texts Hints(TTesmarMainForm& f, int n) {
    Texts out;
    for (int i = 0; i < n; ++i) out.push_back(f.ImgAry[i]->Hint());
    return out;
  }
  static void Hover(TTesmarMainForm& f, int cell) {
    SendMessageW(f.ImgAry[cell]->hwnd(), WM_MOUSEMOVE, 0, MAKELPARAM(5, 5));
  }
  static void DoubleClick(TTesmarMainForm& f, int cell) {
    Hover(f, cell);
    SendMessageW(f.ImgAry[cell]->hwnd(), WM_LBUTTONDBLCLK, MK_LBUTTON, MAKELPARAM(5, 5));
  }
};

TEST_F(SearchDragTest, FindsByNameOrDescriptionAndShowsTheResultLikeAFolder) {
  MakeLibrary();
  auto& f = StartWith(Lib());
  // The folders in Explorer's order: P9 before P10.
  const Texts folders = {u".", u"a\\b\\c\\d", u"P9", u"P10", u"弁\\ゲート"};
  ASSERT_EQ(f.ComboBox2().Items(), folders);

  // By description, in hiragana, from another folder: shown with the folder, its preview and
  // its own hint.
  ASSERT_TRUE(f.SearchDrawings(u"ばるぶ"));
  EXPECT_TRUE(f.Searching());
  Texts withSearch = folders;
  withSearch.push_back(u"検索: ばるぶ (1)");
  EXPECT_EQ(f.ComboBox2().Items(), withSearch);
  EXPECT_EQ(f.ComboBox2().ItemIndex(), 5);
  EXPECT_EQ(f.ComboBox3().Items(), Texts{u"弁\\ゲート\\GV-50A.dwg"});
  EXPECT_EQ(f.Label1().Text(), u"1 / 1");
  EXPECT_EQ(ui::WindowText(f.hwnd()), u"検索: ばるぶ (1)");
  EXPECT_FALSE(AllBlack(*f.ImgAry[0]));
  EXPECT_TRUE(AllBlack(*f.ImgAry[1]));
  Hover(f, 0);
  EXPECT_EQ(f.Edit1().Text(), u"ゲートバルブ");

  // Full-width letters with a wildcard; the cells and ComboBox3 in one order, folder by folder.
  ASSERT_TRUE(f.SearchDrawings(u"ｐ－*"));
  const Texts found = {u"P9\\P-2.dwg", u"P10\\p-1.dwg"};
  EXPECT_EQ(f.ComboBox3().Items(), found);
  EXPECT_EQ(Hints(f, 2), found);
  EXPECT_EQ(f.ComboBox2().Count(), 6);  // still one search entry
  EXPECT_EQ(f.ComboBox2().Text(), u"検索: ｐ－* (2)");
  Hover(f, 1);  // no hint file there: the file's date and its entry
  EXPECT_EQ(f.ComboBox3().Text(), u"P10\\p-1.dwg");
  EXPECT_TRUE(f.Edit1().Text().ends_with(u"] P10\\p-1.dwg")) << Utf16ToUtf8(f.Edit1().Text());

  // Both words must match.
  ASSERT_TRUE(f.SearchDrawings(u"GV 100"));
  EXPECT_EQ(f.ComboBox3().Items(), Texts{u"GV-100A.dwg"});

  // Nothing found: an empty page and the status says so.
  ASSERT_TRUE(f.SearchDrawings(u"gv zz"));
  EXPECT_TRUE(f.ComboBox3().Items().empty());
  EXPECT_EQ(f.Edit1().Text(), u"見つかりません");
  EXPECT_EQ(f.Label1().Text(), u"");
  EXPECT_TRUE(AllBlack(*f.ImgAry[0]));
  EXPECT_EQ(f.ComboBox2().Text(), u"検索: gv zz (0)");

  // Choosing a folder leaves the search.
  f.ComboBox2().SetItemIndex(3);
  f.ComboBox2Change();
  EXPECT_FALSE(f.Searching());
  EXPECT_EQ(f.ComboBox2().Items(), folders);
  EXPECT_EQ(f.ComboBox2().Text(), u"P10");
  EXPECT_EQ(f.ComboBox3().Items(), Texts{u"p-1.dwg"});
  EXPECT_EQ(ui::WindowText(f.hwnd()), u"\\P10\\");
  EXPECT_EQ(f.SearchHistory(), (Texts{u"gv zz", u"GV 100", u"ｐ－*", u"ばるぶ"}));
}

// The window reads the library for the search once its first page shows; a search while that
// reading runs waits for it (Esc stops the wait, not the reading) and then only checks the
// folders' write times.
TEST_F(SearchDragTest, TheFirstSearchFindsTheLibraryReadAside) {
  MakeLibrary();
  for (int i = 0; i < 150; ++i) test::WriteFile(Lib() / "many" / ("unit" + std::to_string(i)) / "TesmarHint.txt", "x\r\n");
  auto& f = StartWith(Lib(), u"", false);
  EXPECT_TRUE(f.SearchIndexWalk().HasWalk());
  EXPECT_EQ(f.SearchIndexWalk().Top(), Top());

  PostMessageW(f.ComboBox2().hwnd(), WM_KEYDOWN, VK_ESCAPE, 0);
  EXPECT_FALSE(f.SearchDrawings(u"gv"));
  EXPECT_TRUE(f.LastIndexWalk().cancelled);
  EXPECT_EQ(f.Edit1().Text(), u"検索を中止しました");

  ASSERT_TRUE(f.SearchDrawings(u"gv"));
  EXPECT_EQ(f.LastIndexWalk().folders, 160);
  EXPECT_EQ(f.LastIndexWalk().foldersRead, 0);  // all read aside
  EXPECT_EQ(f.ComboBox3().Items(), (Texts{u"GV-100A.dwg", u"弁\\ゲート\\GV-50A.dwg"}));
}

TEST_F(SearchDragTest, AFoundDrawingInADeepFolderInsertsByItsFullPath) {
  MakeLibrary();
  test::TestProgId id;
  test::CadStandIn cad(id.Clsid());
  auto& f = StartWith(Lib(), id.ProgId());
  ASSERT_TRUE(f.SearchDrawings(u"ふかい"));  // kanji are not read as kana
  EXPECT_TRUE(f.ComboBox3().Items().empty());
  ASSERT_TRUE(f.SearchDrawings(u"深い"));
  ASSERT_EQ(f.ComboBox3().Items(), Texts{u"a\\b\\c\\d\\深い 図面 1.dwg"});
  DoubleClick(f, 0);
  const std::u16string path = Top() + u"\\a\\b\\c\\d\\深い 図面 1.dwg";
  EXPECT_EQ(cad.Commands(), Texts{InsertCommandText(path) + u"\rATTREQ 1\r"});
  EXPECT_TRUE(shown.empty());
}

TEST_F(SearchDragTest, EscCancelsTheWalkAndASecondSearchReusesWhatWasRead) {
  MakeLibrary();
  auto& f = StartWith(Lib());
  const Texts before = f.ComboBox3().Items();
  PostMessageW(f.ComboBox2().hwnd(), WM_KEYDOWN, VK_ESCAPE, 0);  // as it reaches the focused list
  EXPECT_FALSE(f.SearchDrawings(u"gv"));
  EXPECT_TRUE(f.LastIndexWalk().cancelled);
  EXPECT_EQ(f.LastIndexWalk().folders, 1);  // stopped at the first look at the keys
  EXPECT_FALSE(f.Searching());
  EXPECT_EQ(f.Edit1().Text(), u"検索を中止しました");
  EXPECT_EQ(f.ComboBox3().Items(), before);

  ASSERT_TRUE(f.SearchDrawings(u"gv"));
  EXPECT_EQ(f.LastIndexWalk().folders, 9);  // the top, a … a\b\c\d, P9, P10, 弁, 弁\ゲート
  EXPECT_EQ(f.ComboBox3().Count(), 2);
  ASSERT_TRUE(f.SearchDrawings(u"p"));
  EXPECT_EQ(f.LastIndexWalk().foldersRead, 0);
  EXPECT_EQ(f.ComboBox3().Count(), 2);
  // A new drawing shows at the next search.
  Drawing(Lib() / "P9" / "P-3.dwg");
  ASSERT_TRUE(f.SearchDrawings(u"p"));
  EXPECT_EQ(f.LastIndexWalk().foldersRead, 1);
  EXPECT_EQ(f.ComboBox3().Items(), (Texts{u"P9\\P-2.dwg", u"P9\\P-3.dwg", u"P10\\p-1.dwg"}));
}

// Ctrl+F opens the dialog; Enter searches for the typed text, Esc cancels; the texts searched
// for fill its drop-down, the last in its field.
TEST_F(SearchDragTest, CtrlFOpensTheDialogWhereEnterSearchesAndEscCancels) {
  MakeLibrary();
  auto& f = StartWith(Lib());
  TSearchForm& dialog = f.SearchForm();
  COMBOBOXINFO info{};
  info.cbSize = sizeof info;
  ASSERT_TRUE(GetComboBoxInfo(dialog.ComboBox1(), &info));
  HWND field = info.hwndItem;
  BYTE keys[256];
  GetKeyboardState(keys);
  keys[VK_CONTROL] = 0x80;
  SetKeyboardState(keys);
  MSG ctrlF{f.ComboBox2().hwnd(), WM_KEYDOWN, 'F', 0};

  for (wchar_t c : std::wstring(L"gv-5")) PostMessageW(field, WM_CHAR, c, 0);
  PostMessageW(field, WM_KEYDOWN, VK_RETURN, 0);
  EXPECT_TRUE(f.HandleShortcut(ctrlF));
  EXPECT_TRUE(f.Searching());
  EXPECT_EQ(f.ComboBox3().Items(), Texts{u"弁\\ゲート\\GV-50A.dwg"});

  // Esc: the earlier text stands in the field, nothing is searched.
  PostMessageW(field, WM_KEYDOWN, VK_ESCAPE, 0);
  EXPECT_TRUE(f.HandleShortcut(ctrlF));
  EXPECT_EQ(ui::WindowText(dialog.ComboBox1()), u"gv-5");
  EXPECT_EQ(f.SearchHistory(), Texts{u"gv-5"});
  EXPECT_EQ(f.ComboBox2().Text(), u"検索: gv-5 (1)");

  keys[VK_CONTROL] = 0;
  SetKeyboardState(keys);
  EXPECT_FALSE(f.HandleShortcut(ctrlF));  // F alone is the list's own key
}

// Pumps the test thread's messages until `done` or about `ms` milliseconds.
template <class Done>
bool PumpUntil(Done done, int ms) {
  for (int waited = 0; waited < ms; waited += 20) {
    ui::ProcessMessages();
    if (done()) return true;
    Sleep(20);
  }
  return done();
}

Texts Drops(const test::CadStandIn& cad) {
  Texts out;
  for (const auto& e : cad.Events())
    if (e.starts_with(u"drop ")) out.push_back(e.substr(5));
  return out;
}

POINT CentreOf(HWND w) {
  RECT r;
  GetWindowRect(w, &r);
  return POINT{(r.left + r.right) / 2, (r.top + r.bottom) / 2};
}

// The drag as a hand makes it: the button pressed on a cell, moved past the drag distance and
// on to the CAD program's window, released there. The path arrives whole; a click without a
// move only selects.
TEST_F(SearchDragTest, TheRealPointerDragsAFoundDrawingIntoTheCadWindow) {
  MakeLibrary();
  test::TestProgId id;
  test::CadStandIn cad(id.Clsid());
  auto& f = StartWith(Lib(), id.ProgId());
  ShowWindow(f.hwnd(), SW_SHOW);
  SetWindowPos(f.hwnd(), HWND_TOPMOST, 100, 100, 0, 0, SWP_NOSIZE);
  ASSERT_TRUE(f.SearchDrawings(u"深い"));
  ui::ProcessMessages();

  const POINT cell = CentreOf(f.ImgAry[0]->hwnd());
  ASSERT_TRUE(test::StartRealPointer("mousemove " + std::to_string(cell.x) + " " + std::to_string(cell.y) +
                                     " sleep 0.3 click 1"));
  EXPECT_TRUE(PumpUntil([&] { return f.ComboBox3().ItemIndex() == 0 && !f.Edit1().Text().empty(); }, 3000));
  PumpUntil([] { return false; }, 500);
  EXPECT_EQ(f.DragsStarted(), 0);

  const POINT target = CentreOf(cad.Window());
  ASSERT_TRUE(test::StartRealPointer(
      "mousemove " + std::to_string(cell.x) + " " + std::to_string(cell.y) + " sleep 0.3 mousedown 1 sleep 0.2" +
      " mousemove " + std::to_string(cell.x + 12) + " " + std::to_string(cell.y + 6) + " sleep 0.3" +
      " mousemove " + std::to_string(target.x) + " " + std::to_string(target.y) + " sleep 0.4" +
      " mousemove " + std::to_string(target.x + 6) + " " + std::to_string(target.y + 4) + " sleep 0.4 mouseup 1"));
  EXPECT_TRUE(PumpUntil([&] { return !Drops(cad).empty(); }, 10000));
  EXPECT_EQ(f.DragsStarted(), 1);
  EXPECT_EQ(Drops(cad), Texts{Top() + u"\\a\\b\\c\\d\\深い 図面 1.dwg"});
  EXPECT_TRUE(cad.Commands().empty());
  SetWindowPos(f.hwnd(), HWND_NOTOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
}

}  // namespace
}  // namespace tesmar
