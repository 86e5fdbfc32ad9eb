#include "cadlink/commands.h"

#include <gtest/gtest.h>

namespace tesmar {
namespace {

const std::u16string CR = u"\r";

TEST(CommandTexts, InsertCommandKeepsThePathAndCallsDoubleItsBackslashes) {
  struct Case {
    const char* what;
    std::u16string path;
    std::u16string doubled;
  };
  const Case cases[] = {
      {"plain", u"D:\\lib\\a.dwg", u"D:\\\\lib\\\\a.dwg"},
      {"drive root", u"C:\\a.dwg", u"C:\\\\a.dwg"},
      {"Japanese, blanks, commas", u"D:\\部品 集\\バルブ, 3 個.dwg", u"D:\\\\部品 集\\\\バルブ, 3 個.dwg"},
      {"network share", u"\\\\srv\\lib\\x.dwg", u"\\\\\\\\srv\\\\lib\\\\x.dwg"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    EXPECT_EQ(InsertCommandText(c.path), u"ATTREQ 0" + CR + u"-INSERT" + CR + u"\"" + c.path + u"\"" + CR + u"S 1 R 0");
    EXPECT_EQ(InsertCallText(u"f", c.path, true, false), u"(f \"" + c.doubled + u"\" T nil)");
    EXPECT_EQ(LoadLispText(c.path), u"(load \"" + c.doubled + u"\")");
  }
}

TEST(CommandTexts, WhatEachActionSends) {
  const std::u16string P = u"D:\\lib\\a.dwg";
  const std::u16string cmd = InsertCommandText(P);
  InsertSettings defaults;
  ASSERT_FALSE(defaults.useLspFlag) << "out of the box the CAD program's own insert command";
  InsertSettings lisp = defaults;
  lisp.useLspFlag = true;
  InsertSettings func1 = lisp;
  func1.useFunc1Flag = true, func1.expFlag = false, func1.purgeFlag = true;
  InsertSettings func2Off = lisp;
  func2Off.cutFlag = false, func2Off.repeatFlag = false;
  InsertSettings renamed = lisp;
  renamed.funcName1 = u"my_exp", renamed.funcName2 = u"";
  struct Case {
    const char* what;
    std::u16string sent, expected;
  };
  const Case cases[] = {
      {"double-click, defaults", DoubleClickText(defaults, P), cmd},
      {"double-click, LISP", DoubleClickText(lisp, P), u"(kvo_dxfIn_cut \"D:\\\\lib\\\\a.dwg\" T T)"},
      {"double-click, function 1", DoubleClickText(func1, P), u"(kvo_dxfIn_exp \"D:\\\\lib\\\\a.dwg\" nil T)"},
      {"double-click, function 2 flags off", DoubleClickText(func2Off, P), u"(kvo_dxfIn_cut \"D:\\\\lib\\\\a.dwg\" nil nil)"},
      {"CAD6 ignores useLspFlag", InsertItemText(6, lisp, P), cmd},
      {"CAD7 both flags true", InsertItemText(7, func1, P), u"(kvo_dxfIn_exp \"D:\\\\lib\\\\a.dwg\" T T)"},
      {"CAD8 both flags true", InsertItemText(8, func2Off, P), u"(kvo_dxfIn_cut \"D:\\\\lib\\\\a.dwg\" T T)"},
      {"CAD7 renamed", InsertItemText(7, renamed, P), u"(my_exp \"D:\\\\lib\\\\a.dwg\" T T)"},
      {"CAD8 empty name", InsertItemText(8, renamed, P), u"( \"D:\\\\lib\\\\a.dwg\" T T)"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    EXPECT_EQ(c.sent, c.expected);
  }
}

TEST(CommandTexts, AttreqGoesBackToTheUsersValueAndTheStatusWordsSayWhatHappens) {
  EXPECT_EQ(AttreqRestoreText(1), u"\rATTREQ 1");
  EXPECT_EQ(AttreqRestoreText(std::nullopt), u"\rATTREQ 1") << "the CAD program's own default";
  EXPECT_EQ(AttreqRestoreText(0), u"") << "the insert leaves it as it was";
  EXPECT_EQ(BusyCadWaitText(3, 30), u"CAD 応答待ち 3 / 30 秒 (Esc で中止)");
  EXPECT_EQ(CadNotRunningText(u"BricsCAD"), u"CAD プログラム (BricsCAD) が起動していません");
  EXPECT_EQ(LispFileMissingText(u"C:\\T\\MERIDOX410.lsp"), u"C:\\T\\MERIDOX410.lsp\nLISP ファイルが見つかりません．");
}

TEST(CommandTexts, ItemNumberIsTheFourthCharacter) {
  EXPECT_EQ(InsertItemNumber(u"CAD6"), 6);
  EXPECT_EQ(InsertItemNumber(u"CAD7"), 7);
  EXPECT_EQ(InsertItemNumber(u"CAD8"), 8);
  EXPECT_EQ(InsertItemNumber(u"CADX"), 0);
  EXPECT_EQ(InsertItemNumber(u"CAD"), 0);
}

TEST(CommandTexts, LispFileIsFoundBesideTheProgramUnlessItNamesAFolder) {
  const std::u16string dir = u"C:\\Tesmar\\";
  EXPECT_EQ(LispFileFor(u"MERIDOX410.lsp", dir), u"C:\\Tesmar\\MERIDOX410.lsp");
  EXPECT_EQ(LispFileFor(u"D:\\lisp\\x.lsp", dir), u"D:\\lisp\\x.lsp");
  EXPECT_EQ(LispFileFor(u"D:x.lsp", dir), u"D:x.lsp");
  EXPECT_EQ(LispFileFor(u"", dir), u"C:\\Tesmar\\");
  EXPECT_EQ(LispLoadCaption(u"D:\\lisp\\x.lsp"), u"ロード D:\\lisp\\x.lsp");
}

}  // namespace
}  // namespace tesmar
