// The main window's CAD link end to end: real windows under Wine, the stand-in CAD program as a
// second process reached through COM, the dialogs driven through their handlers and controls.
#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>
#include <thread>

#include "app/forms_win.h"
#include "app/main_form_win.h"
#include "base/codepage.h"
#include "base/strings.h"
#include "cadlink/cad_link_win.h"
#include "cadlink/commands.h"
#include "cadlink/setting_form_win.h"
#include "cadlink/target_cad_form_win.h"
#include "library/demo_library.h"
#include "library/paging.h"
#include "tests/app/main_form_fixture_win.h"
#include "tests/support/cad_standin_win.h"
#include "tests/support/real_pointer_win.h"
#include "tests/support/testdata.h"
#include "ui/com.h"
#include "ui/seams.h"
#include "ui/topmost.h"

namespace tesmar {
namespace {

using test::CadStandIn;
using test::TestProgId;
using Texts = std::vector<std::u16string>;

class CadLinkFormTest : public test::MainFormWithCadDialogsTest {
 protected:
  // Registers `top` as the only top folder, starts the window and aims it at a ProgID.
  TTesmarMainForm& StartWith(const std::filesystem::path& top, const std::u16string& progId) {
    test::WriteFile(File("TesmarTopDirs.txt"), Utf16ToAnsi(U16FromPath(top)) + "\r\n");
    auto& f = Start();
    g_TargetProgID = progId;
    return f;
  }
  std::filesystem::path Lib() const { return dir / "lib"; }
  // A page of 12 drawings aimed at `progId`, the window topmost on the display where the real
  // pointer reaches it, a busy program waited for `boundMs` in all.
  TTesmarMainForm& StartOnTheDisplay(const std::u16string& progId, DWORD boundMs) {
    WriteDemoFolder(Lib(), 12);
    auto& f = StartWith(Lib(), progId);
    f.cadWaitBoundMs = boundMs;
    SetWindowPos(f.hwnd(), HWND_TOPMOST, 40, 560, 0, 0, SWP_NOSIZE | SWP_SHOWWINDOW);
    UpdateWindow(f.hwnd());
    return f;
  }
  // The full path of the drawing in cell i of the current page.
  std::u16string CellPath(TTesmarMainForm& f, int i) {
    return U16FromPath(PathFromU16(f.ComboBox1().Text())) + u"\\" + f.ImgAry[i]->Hint();
  }
  // Moves the mouse over a cell (selecting its drawing) and double-clicks it, as the window's
  // procedure delivers them (errors reach the standard error box there).
  void DoubleClickCell(TTesmarMainForm& f, int i) {
    HWND cell = f.ImgAry[i]->hwnd();
    SendMessageW(cell, WM_MOUSEMOVE, 0, MAKELPARAM(5, 5));
    SendMessageW(cell, WM_LBUTTONDBLCLK, MK_LBUTTON, MAKELPARAM(5, 5));
  }
  // Runs a menu item's handler as the window's router does.
  void RunItem(TTesmarMainForm& f, const char16_t* name) {
    const ui::MenuItem& item = f.MenuItem(name);
    SendMessageW(f.hwnd(), WM_COMMAND, MAKEWPARAM(item.Id(), 0), 0);
  }
};

TEST_F(CadLinkFormTest, DoubleClickSendsTheDrawingOfThatCell) {
  WriteDemoFolder(Lib(), 12);
  TestProgId id;
  CadStandIn cad(id.Clsid());
  auto& f = StartWith(Lib(), id.ProgId());
  const std::u16string p7 = CellPath(f, 7), p2 = CellPath(f, 2);
  // Out of the box (no settings file): the CAD program's own insert command, ATTREQ put back.
  ASSERT_FALSE(f.insert.useLspFlag);
  DoubleClickCell(f, 7);
  f.insert.useLspFlag = true;
  DoubleClickCell(f, 2);
  f.insert.useFunc1Flag = true, f.insert.expFlag = false, f.insert.purgeFlag = true;
  DoubleClickCell(f, 2);
  EXPECT_EQ(cad.Commands(), (Texts{u"ATTREQ 0\r-INSERT\r\"" + p7 + u"\"\rS 1 R 0\rATTREQ 1\r",
                                   u"(kvo_dxfIn_cut \"" + DoubleBackslashes(p2) + u"\" T T)\r",
                                   u"(kvo_dxfIn_exp \"" + DoubleBackslashes(p2) + u"\" nil T)\r"}));
  EXPECT_TRUE(shown.empty());
}

// The texts the status field was given, in order (its window procedure is wrapped).
class StatusTexts {
 public:
  explicit StatusTexts(HWND edit) : edit_(edit) {
    self_ = this;
    old_ = reinterpret_cast<WNDPROC>(SetWindowLongPtrW(edit, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&Proc)));
  }
  ~StatusTexts() {
    SetWindowLongPtrW(edit_, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(old_));
    self_ = nullptr;
  }
  Texts texts;

 private:
  static LRESULT CALLBACK Proc(HWND h, UINT msg, WPARAM wp, LPARAM lp) {
    if (msg == WM_SETTEXT && lp) self_->texts.push_back(FromWide(reinterpret_cast<const wchar_t*>(lp)));
    return CallWindowProcW(self_->old_, h, msg, wp, lp);
  }
  static inline StatusTexts* self_ = nullptr;
  HWND edit_;
  WNDPROC old_ = nullptr;
};

// A CAD program with a dialog of its own open answers every call "busy": the status field
// says that the program is waited for, and after the bound the error box tells what happened;
// the status field is emptied again.
TEST_F(CadLinkFormTest, ABusyProgramIsWaitedForWithAWordInTheStatusFieldThenGivenUp) {
  WriteDemoFolder(Lib(), 3);
  TestProgId id;
  CadStandIn cad(id.Clsid(), L"/modal");
  auto& f = StartWith(Lib(), id.ProgId());
  ASSERT_TRUE(g_MessageFilter);
  f.cadWaitBoundMs = 2500;
  StatusTexts status(f.Edit1().hwnd());
  DoubleClickCell(f, 0);
  EXPECT_TRUE(cad.Commands().empty());
  ASSERT_EQ(shown.size(), 1u);
  EXPECT_EQ(shown[0].flags & MB_ICONMASK, UINT(MB_ICONERROR));
  EXPECT_NE(shown[0].text.find(id.ProgId()), std::u16string::npos) << Utf16ToUtf8(shown[0].text);
  ASSERT_GE(status.texts.size(), 2u);
  const std::u16string waited = status.texts[status.texts.size() - 2];
  EXPECT_TRUE(waited == BusyCadWaitText(2, 3) || waited == BusyCadWaitText(3, 3)) << Utf16ToUtf8(waited);
  EXPECT_EQ(status.texts.back(), u"");
  EXPECT_EQ(f.Edit1().Text(), u"");
}

// The width the status field's text takes in the field's own font, and the room it has.
std::pair<int, int> StatusWidthAndRoom(HWND edit, const std::u16string& text) {
  HDC dc = GetDC(edit);
  HGDIOBJ old = SelectObject(dc, reinterpret_cast<HFONT>(SendMessageW(edit, WM_GETFONT, 0, 0)));
  SIZE size{};
  GetTextExtentPoint32W(dc, reinterpret_cast<const wchar_t*>(text.c_str()), static_cast<int>(text.size()), &size);
  SelectObject(dc, old);
  ReleaseDC(edit, dc);
  RECT r;
  GetClientRect(edit, &r);
  const LRESULT margins = SendMessageW(edit, EM_GETMARGINS, 0, 0);
  return {size.cx, r.right - LOWORD(margins) - HIWORD(margins)};
}

// Pumps the window's messages until `done` or `seconds` have passed (a hang fails, not a slow run).
template <class Done>
bool PumpUntil(Done done, int seconds) {
  for (int i = 0; i < seconds * 20 && !done(); ++i) {
    ui::ProcessMessages();
    Sleep(50);
  }
  return done();
}

// As a user meets it: the real pointer double-clicks a preview while the CAD program has a
// dialog open. The status field counts the seconds in full, and the error box follows at the
// bound of the whole command (30 s), well within 35 s.
TEST_F(CadLinkFormTest, RealDoubleClickOnABusyProgramGetsTheMessageAtTheBound) {
  TestProgId id;
  CadStandIn cad(id.Clsid(), L"/modal");
  auto& f = StartOnTheDisplay(id.ProgId(), CadCallWait::kDefaultBoundMs);
  ASSERT_EQ(f.cadWaitBoundMs, 30000u);
  StatusTexts status(f.Edit1().hwnd());
  ASSERT_TRUE(test::StartRealPointer(test::ClickAtCentreOf(f.ImgAry[4]->hwnd(), 2))) << "xdotool cannot be started";
  EXPECT_TRUE(PumpUntil([&] { return !shown.empty(); }, 35)) << "no message within 35 s of the double-click";
  ASSERT_EQ(shown.size(), 1u);
  EXPECT_NE(shown[0].text.find(u"CAD プログラムが応答しません。"), std::u16string::npos) << Utf16ToUtf8(shown[0].text);
  EXPECT_TRUE(cad.Commands().empty());
  ASSERT_GE(status.texts.size(), 3u);
  // After the hover's word for the drawing, the wait's from its first second on.
  EXPECT_NE(std::find(status.texts.begin(), status.texts.end(), BusyCadWaitText(1, 30)), status.texts.end());
  const std::u16string last = status.texts[status.texts.size() - 2];
  EXPECT_TRUE(last == BusyCadWaitText(30, 30) || last == BusyCadWaitText(29, 30)) << Utf16ToUtf8(last);
  const auto [width, room] = StatusWidthAndRoom(f.Edit1().hwnd(), last);
  EXPECT_LE(width, room) << "the seconds must show in the status field";
  EXPECT_EQ(f.Edit1().Text(), u"");
}

// The real Esc key during the wait gives it up at once: no error box, a word in the status
// field, nothing sent. The bound is far away, so only Esc can end the wait in time.
TEST_F(CadLinkFormTest, RealEscGivesUpTheWaitForABusyProgram) {
  TestProgId id;
  CadStandIn cad(id.Clsid(), L"/modal");
  auto& f = StartOnTheDisplay(id.ProgId(), 600000);
  StatusTexts status(f.Edit1().hwnd());
  ASSERT_TRUE(test::StartRealPointer(test::ClickAtCentreOf(f.ImgAry[4]->hwnd(), 2) + " sleep 2.5 key Escape"))
      << "xdotool cannot be started";
  EXPECT_TRUE(PumpUntil([&] { return f.Edit1().Text() == kCadWaitCancelledText; }, 30)) << Utf16ToUtf8(f.Edit1().Text());
  EXPECT_TRUE(shown.empty());
  EXPECT_TRUE(cad.Commands().empty());
  EXPECT_NE(std::find(status.texts.begin(), status.texts.end(), BusyCadWaitText(1, 600)), status.texts.end());
  EXPECT_FALSE(f.busy.Busy());
}

// Closing the palette during the wait ends the wait at once and the window closes, without a
// box; the close waits in the queue only until the call has given up.
TEST_F(CadLinkFormTest, ClosingThePaletteDuringTheWaitClosesItAtOnce) {
  WriteDemoFolder(Lib(), 3);
  TestProgId id;
  CadStandIn cad(id.Clsid(), L"/modal");
  auto& f = StartWith(Lib(), id.ProgId());
  f.cadWaitBoundMs = 600000;
  const HWND window = f.hwnd(), edit = f.Edit1().hwnd();
  // Another thread closes the window once the status field shows the wait (the field answers
  // while the window waits, as any sent message).
  std::thread closer([window, edit] {
    for (int i = 0; i < 600; ++i) {
      wchar_t text[128] = {};
      SendMessageTimeoutW(edit, WM_GETTEXT, 128, reinterpret_cast<LPARAM>(text), SMTO_BLOCK, 1000, nullptr);
      if (std::wstring(text).rfind(L"CAD ", 0) == 0) break;
      Sleep(50);
    }
    PostMessageW(window, WM_CLOSE, 0, 0);
  });
  DoubleClickCell(f, 0);
  closer.join();
  EXPECT_TRUE(PumpUntil([&] { return !IsWindow(window); }, 10)) << "the window did not close";
  EXPECT_TRUE(shown.empty());
  EXPECT_TRUE(cad.Commands().empty());
}

TEST_F(CadLinkFormTest, JapaneseBlanksAndCommasArriveIntact) {
  const auto folder = Lib() / u8"部品 集, 弁";
  test::WriteFile(folder / u8"バルブ 50A, 2.dwg", "not a real drawing");
  TestProgId id;
  CadStandIn cad(id.Clsid());
  auto& f = StartWith(Lib(), id.ProgId());
  ASSERT_EQ(f.ImgAry[0]->Hint(), u"バルブ 50A, 2.dwg");
  const std::u16string path = U16FromPath(folder / u8"バルブ 50A, 2.dwg");
  DoubleClickCell(f, 0);
  RunItem(f, u"CAD6");
  EXPECT_EQ(cad.Commands(), (Texts{InsertCommandText(path) + u"\rATTREQ 1\r", InsertCommandText(path) + u"\rATTREQ 1\r"}));
}

TEST_F(CadLinkFormTest, MenuItemsSendTheirTexts) {
  WriteDemoFolder(Lib(), 3);
  TestProgId id;
  CadStandIn cad(id.Clsid());
  auto& f = StartWith(Lib(), id.ProgId());
  f.insert.expFlag = f.insert.purgeFlag = f.insert.cutFlag = f.insert.repeatFlag = false;
  f.insert.useLspFlag = true;
  SendMessageW(f.ImgAry[1]->hwnd(), WM_MOUSEMOVE, 0, MAKELPARAM(5, 5));
  const std::u16string p = CellPath(f, 1), pp = DoubleBackslashes(p);
  RunItem(f, u"CAD6");
  RunItem(f, u"CAD7");
  RunItem(f, u"CAD8");
  // LISP: a missing file sends nothing and says which file it looked for; a bare name is the
  // program folder's file; a full path is taken as it is.
  f.insert.lspName = u"MERIDOX410.lsp";
  RunItem(f, u"LISP1");
  ASSERT_EQ(shown.size(), 1u);
  EXPECT_EQ(shown[0].text, U16FromPath(File("MERIDOX410.lsp")) + u"\nLISP ファイルが見つかりません．");
  shown.clear();
  test::WriteFile(File("MERIDOX410.lsp"), "(princ)");
  RunItem(f, u"LISP1");
  test::WriteFile(dir / "lisp" / "x y.lsp", "(princ)");
  f.insert.lspName = U16FromPath(dir / "lisp" / "x y.lsp");
  RunItem(f, u"LISP1");
  EXPECT_EQ(cad.Commands(), (Texts{InsertCommandText(p) + u"\rATTREQ 1\r", u"(kvo_dxfIn_exp \"" + pp + u"\" T T)\r",
                                   u"(kvo_dxfIn_cut \"" + pp + u"\" T T)\r",
                                   LoadLispText(U16FromPath(File("MERIDOX410.lsp"))) + u"\r",
                                   LoadLispText(f.insert.lspName) + u"\r"}));
  EXPECT_TRUE(shown.empty());
}

// Nothing selected sends nothing and says nothing; a CAD program that does not run is named in
// the status field (its name in the target list, else its ProgID), with no box to click away.
TEST_F(CadLinkFormTest, NothingSelectedSendsNothingAndACadProgramNotRunningIsNamed) {
  WriteDemoFolder(Lib(), 3);
  TestProgId id;
  auto& f = StartWith(Lib(), id.ProgId());
  DoubleClickCell(f, 1);  // no CAD program
  EXPECT_EQ(f.Edit1().Text(), u"CAD プログラム (" + id.ProgId() + u") が起動していません");
  test::WriteFile(File("TargetCAD_APIVersion.txt"), "Test CAD\t" + Utf16ToUtf8(id.ProgId()) + "\r\n");
  RunItem(f, u"CAD6");
  EXPECT_EQ(f.Edit1().Text(), u"CAD プログラム (Test CAD) が起動していません");
  {
    CadStandIn cad(id.Clsid());
    DoubleClickCell(f, 20);  // an empty cell selects no drawing
    RunItem(f, u"CAD6");
    std::filesystem::remove(PathFromU16(CellPath(f, 0)));
    DoubleClickCell(f, 0);  // a drawing deleted since the page was shown
    EXPECT_TRUE(cad.Commands().empty());
  }
  EXPECT_TRUE(shown.empty());
}

TEST_F(CadLinkFormTest, UnknownOrEmptyProgIdShowsTheErrorBoxAndTheWindowGoesOn) {
  WriteDemoFolder(Lib(), 3);
  auto& f = StartWith(Lib(), u"No.Such.Cad");
  DoubleClickCell(f, 0);
  g_TargetProgID = u"";
  RunItem(f, u"CAD7");
  ASSERT_EQ(shown.size(), 2u);
  for (const auto& box : shown) {
    EXPECT_TRUE(box.flags & MB_ICONERROR);
    EXPECT_NE(box.text.find(u"ProgID"), std::u16string::npos) << Utf16ToUtf8(box.text);
  }
  EXPECT_TRUE(IsWindow(f.hwnd()));
}

TEST_F(CadLinkFormTest, ADoubleClickStopsTheAutoRepeatOfTheNextPageButton) {
  WriteDemoFolder(Lib(), 130);  // the presses turn a page each and still leave pages ahead
  TestProgId id;
  auto& f = StartWith(Lib(), id.ProgId());
  f.SpeedButton4MouseDown();
  ASSERT_TRUE(f.Timer1().Enabled());
  ASSERT_NE(f.CMDMODE, kPagingNone);
  DoubleClickCell(f, 3);
  EXPECT_FALSE(f.Timer1().Enabled());
  EXPECT_EQ(f.CMDMODE, kPagingNone);
  EXPECT_EQ(f.Timer1().Interval(), 100u);
  f.SpeedButton4MouseDown();
  RunItem(f, u"LISP1");  // loading LISP leaves the paging alone
  EXPECT_TRUE(f.Timer1().Enabled());
  f.SpeedButton4MouseUp();
}

// As a user does it: the real pointer double-clicks a preview on the display, with the target
// left at the default ProgID that the test prefix maps to the stand-in.
TEST_F(CadLinkFormTest, RealDoubleClickOnAPreviewReachesTheRunningProgram) {
  CadStandIn cad(test::kDefaultStandInClsid);
  auto& f = StartOnTheDisplay(kDefaultTargetProgID, CadCallWait::kDefaultBoundMs);
  const std::u16string expected = InsertCommandText(CellPath(f, 8)) + u"\rATTREQ 1\r";
  ASSERT_TRUE(test::StartRealPointer(test::ClickAtCentreOf(f.ImgAry[8]->hwnd(), 2))) << "xdotool cannot be started";
  // The window takes the pointer's messages until the command has arrived (or 20 s passed).
  for (int i = 0; i < 400 && cad.Commands().empty(); ++i) {
    ui::ProcessMessages();
    Sleep(50);
  }
  EXPECT_EQ(cad.Commands(), Texts{expected});
  EXPECT_EQ(f.ComboBox3().Text(), f.ImgAry[8]->Hint());
}

// ---- The target CAD dialog

TEST_F(CadLinkFormTest, TargetDialogAddDeleteChangeEnterAndOk) {
  test::WriteFile(File("TargetCAD_APIVersion.txt"), "Zeta\tZ.App\r\nAlpha\tA.App\r\nBeta\tB.App\r\nGamma\tG.App\r\n");
  auto& f = Start();
  g_TargetProgID = u"B.App";
  TTargetCADForm& d = target_;
  int shows = 0;
  ui::SeamOverride<ui::ShowModalFn> modal(ui::ShowModalSeam(), [&](ui::Window&) {
    ++shows;
    // Shown: sorted rows, the target's row selected and in the edit fields.
    EXPECT_EQ(d.ListBoxRows(), (Texts{u"Alpha\tA.App", u"Beta\tB.App", u"Gamma\tG.App", u"Zeta\tZ.App"}));
    EXPECT_EQ(d.ListBoxIndex(), 1);
    EXPECT_EQ(d.Edit1().Text(), u"Beta");
    EXPECT_EQ(d.Edit2().Text(), u"B.App");
    EXPECT_EQ(d.CurrentLabel().Text(), u"現在のターゲット: Beta (B.App)");
    // Delete the second-to-last row: the row before it is selected.
    SendMessageW(d.ListBox1(), LB_SETCURSEL, 2, 0);
    SendMessageW(d.hwnd(), WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(d.ListBox1()), LBN_SELCHANGE), reinterpret_cast<LPARAM>(d.ListBox1()));
    EXPECT_EQ(d.Edit1().Text(), u"Gamma");
    d.SpeedButton2Click();
    EXPECT_EQ(d.ListBoxRows(), (Texts{u"Alpha\tA.App", u"Beta\tB.App", u"Zeta\tZ.App"}));
    EXPECT_EQ(d.ListBoxIndex(), 1);
    EXPECT_EQ(d.Edit1().Text(), u"Beta");
    // Enter in the ProgID field replaces the selected row in its place.
    d.Edit2().SetText(u"B.App.2");
    SendMessageW(d.Edit2().hwnd(), WM_CHAR, L'\r', 0);
    EXPECT_EQ(d.ListBoxRows()[1], u"Beta\tB.App.2");
    EXPECT_EQ(d.Edit2().Text(), u"B.App.2") << "Enter is swallowed";
    // Typed text and "追加".
    d.Edit1().SetText(u"ブリックス");
    d.Edit2().SetText(u"BricscadApp.AcadApplication");
    d.SpeedButton1Click();
    EXPECT_EQ(d.ListBoxRows().back(), u"ブリックス\tBricscadApp.AcadApplication");
    EXPECT_EQ(d.ListBoxIndex(), 3);
    // "OK" takes the edit fields, whatever is selected.
    SendMessageW(d.hwnd(), WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(d.Button1()), BN_CLICKED), reinterpret_cast<LPARAM>(d.Button1()));
    return IDOK;
  });
  RunItem(f, u"CAD5");
  EXPECT_EQ(shows, 1);
  EXPECT_EQ(g_TargetProgID, u"BricscadApp.AcadApplication");
  EXPECT_EQ(f.MenuItem(u"CAD5").Caption(), u"ターゲット = ブリックス");
  EXPECT_EQ(test::ReadFile(File("TargetCAD_APIVersion.txt")),
            "Alpha\tA.App\r\nBeta\tB.App.2\r\nZeta\tZ.App\r\n\x83\x75\x83\x8a\x83\x62\x83\x4e\x83\x58\tBricscadApp.AcadApplication\r\n");
  EXPECT_TRUE(ui::IsTopmost(f.hwnd()));
  EXPECT_FALSE(ui::IsTopmost(d.hwnd()));
}

TEST_F(CadLinkFormTest, TargetDialogWithoutFileEnterWithoutSelectionAndEmptyOk) {
  auto& f = Start();
  TTargetCADForm& d = target_;
  ui::SeamOverride<ui::ShowModalFn> modal(ui::ShowModalSeam(), [&](ui::Window&) {
    EXPECT_TRUE(d.ListBoxRows().empty());
    d.Edit1().SetText(u"");
    d.Edit2().SetText(u"");
    SendMessageW(d.Edit1().hwnd(), WM_CHAR, L'\r', 0);  // nothing selected: nothing happens
    EXPECT_TRUE(d.ListBoxRows().empty());
    d.Button1Click();
    return IDOK;
  });
  RunItem(f, u"CAD5");
  EXPECT_EQ(g_TargetProgID, u"");
  EXPECT_EQ(f.MenuItem(u"CAD5").Caption(), u"ターゲット = ");
  EXPECT_FALSE(std::filesystem::exists(File("TargetCAD_APIVersion.txt")));
}

// ---- The insert settings dialog

TEST_F(CadLinkFormTest, SettingsDialogOpensWithTheHandlersRunInFillOrderAndWritesBackOnUpdate) {
  auto& f = Start();
  f.insert.useLspFlag = false, f.insert.useFunc1Flag = true, f.insert.useFunc2Flag = false;
  TMorvikSettingForm& d = setting_;
  ui::SeamOverride<ui::ShowModalFn> modal(ui::ShowModalSeam(), [&](ui::Window&) {
    EXPECT_TRUE(d.CheckBox(1).Checked());
    EXPECT_FALSE(d.CheckBox(7).Enabled());
    EXPECT_FALSE(d.CheckBox(8).Enabled());
    EXPECT_TRUE(d.CheckBox(3).Enabled());
    EXPECT_TRUE(d.CheckBox(4).Enabled());
    EXPECT_TRUE(d.Edit(1).Enabled());
    EXPECT_FALSE(d.Edit(3).Enabled());
    // The user checks "LISP 関数を使用", then unchecks "関数１" by clicks on the boxes.
    SendMessageW(d.CheckBox(2).hwnd(), BM_CLICK, 0, 0);
    EXPECT_FALSE(d.CheckBox(1).Checked());
    EXPECT_TRUE(d.Edit(3).Enabled());
    SendMessageW(d.CheckBox(7).hwnd(), BM_CLICK, 0, 0);
    EXPECT_TRUE(d.CheckBox(8).Checked());
    EXPECT_TRUE(d.Edit(2).Enabled());
    EXPECT_FALSE(d.Edit(1).Enabled());
    d.Edit(3).SetText(u"D:\\lisp\\新しい.lsp");
    SendMessageW(d.Button1(), BM_CLICK, 0, 0);
    return IDOK;
  });
  RunItem(f, u"N6");
  EXPECT_TRUE(f.insert.useLspFlag);
  EXPECT_FALSE(f.insert.useFunc1Flag);
  EXPECT_TRUE(f.insert.useFunc2Flag);
  EXPECT_EQ(f.insert.lspName, u"D:\\lisp\\新しい.lsp");
  EXPECT_EQ(f.MenuItem(u"LISP1").Caption(), u"ロード D:\\lisp\\新しい.lsp");
  EXPECT_TRUE(ui::IsTopmost(f.hwnd()));
}

TEST_F(CadLinkFormTest, SettingsDialogCancelChangesNothing) {
  auto& f = Start();
  f.insert.useLspFlag = true;  // the click below switches to the insert command
  const InsertSettings before = f.insert;
  const std::u16string caption = f.MenuItem(u"LISP1").Caption();
  ui::SeamOverride<ui::ShowModalFn> modal(ui::ShowModalSeam(), [&](ui::Window&) {
    SendMessageW(setting_.CheckBox(1).hwnd(), BM_CLICK, 0, 0);
    setting_.Edit(2).SetText(u"");
    return IDCANCEL;
  });
  RunItem(f, u"N6");
  EXPECT_EQ(f.insert, before);
  EXPECT_EQ(f.MenuItem(u"LISP1").Caption(), caption);
  EXPECT_TRUE(setting_.CheckBox(1).Checked()) << "the boxes keep their state until the next showing";
}

// The controls keep their designed rows exactly; a column moves right of its designed place only
// when a caption needs the room in the display's font, and the controls of a column stay lined up.
TEST_F(CadLinkFormTest, SettingsDialogControlsKeepTheirDesignedRowsAndColumns) {
  TMorvikSettingForm& d = setting_;
  const int dpi = d.Dpi();
  auto at = [&](HWND h) {
    RECT r;
    GetWindowRect(h, &r);
    MapWindowPoints(HWND_DESKTOP, GetParent(h), reinterpret_cast<POINT*>(&r), 2);
    return std::make_pair(static_cast<int>(r.left), static_cast<int>(r.top));
  };
  auto s = [&](int v) { return MulDiv(v, dpi, 96); };
  struct Case {
    HWND h;
    int x, y;
    const char16_t* text;
  };
  const Case cases[] = {
      {d.CheckBox(1).hwnd(), 20, 16, u"コマンドを使用"}, {d.CheckBox(2).hwnd(), 20, 39, u"LISP 関数を使用"},
      {d.Label1().hwnd(), 29, 62, u"ファイル名"},       {d.Edit(3).hwnd(), 87, 62, u"MERIDOX410.lsp"},
      {d.CheckBox(7).hwnd(), 29, 85, u"関数１"},         {d.Edit(1).hwnd(), 87, 85, u"kvo_dxfin_exp"},
      {d.CheckBox(3).hwnd(), 87, 108, u"分解"},          {d.CheckBox(4).hwnd(), 163, 108, u"パージ"},
      {d.CheckBox(8).hwnd(), 29, 133, u"関数２"},        {d.Edit(2).hwnd(), 87, 131, u"kvo_dxfin_cut"},
      {d.CheckBox(5).hwnd(), 87, 155, u"線分カット"},    {d.CheckBox(6).hwnd(), 163, 155, u"挿入繰り返し"},
      {d.Button1(), 52, 198, u"更新"},                   {d.Button2(), 133, 198, u"中止"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(Utf16ToUtf8(c.text));
    EXPECT_GE(at(c.h).first, s(c.x));
    EXPECT_EQ(at(c.h).second, s(c.y));
    EXPECT_EQ(ui::WindowText(c.h), c.text);
  }
  const int second = at(d.Edit(1).hwnd()).first, third = at(d.CheckBox(4).hwnd()).first;
  for (HWND h : {d.Edit(2).hwnd(), d.Edit(3).hwnd(), d.CheckBox(3).hwnd(), d.CheckBox(5).hwnd()}) EXPECT_EQ(at(h).first, second);
  EXPECT_EQ(at(d.CheckBox(6).hwnd()).first, third);
  EXPECT_NEAR(at(d.Button2()).first - at(d.Button1()).first, s(133) - s(52), 1) << "the buttons keep their spacing";
}

}  // namespace
}  // namespace tesmar
