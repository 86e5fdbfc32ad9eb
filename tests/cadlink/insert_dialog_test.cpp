#include "cadlink/insert_dialog.h"

#include <gtest/gtest.h>

#include <string>

namespace tesmar {
namespace {

// The enabled state of every control as a picture: boxes 1 … 8, then Edit1 … Edit3 and Label1
// ('E' enabled, '-' disabled), and the checked boxes ('x' checked).
std::string Enabled(const InsertDialogState& d) {
  std::string s;
  for (int b = 1; b <= 8; ++b) s += d.BoxEnabled(b) ? 'E' : '-';
  s += ' ';
  for (auto e : {InsertDialogState::kEdit1, InsertDialogState::kEdit2, InsertDialogState::kEdit3})
    s += d.EditEnabled(e) ? 'E' : '-';
  s += d.Label1Enabled() ? 'E' : '-';
  return s;
}
std::string Checked(const InsertDialogState& d) {
  std::string s;
  for (int b = 1; b <= 8; ++b) s += d.Checked(b) ? 'x' : '.';
  return s;
}

TEST(InsertDialog, EnablingRulesAfterEachUserClick) {
  struct Case {
    const char* what;
    std::vector<int> clicks;
    std::string checked, enabled;
  };
  //                                        boxes    edits+label
  const Case cases[] = {
      {"designed", {}, ".xxxxx.x", "EE--EEEE -EEE"},
      {"command mode disables the rest", {1}, "x.xxxx.x", "EE------ ----"},
      {"back to LISP re-enables the chosen function", {1, 2}, ".xxxxx.x", "EE--EEEE -EEE"},
      {"function 1 chosen", {7}, ".xxxxxx.", "EEEE--EE E-EE"},
      {"unchecking function 1 swaps back", {7, 7}, ".xxxxx.x", "EE--EEEE -EEE"},
      {"unchecking function 2 chooses function 1", {8}, ".xxxxxx.", "EEEE--EE E-EE"},
      {"flags do not touch enabling", {5, 6}, ".xxx...x", "EE--EEEE -EEE"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    InsertDialogState d;
    for (int b : c.clicks) d.Click(b);
    EXPECT_EQ(Checked(d), c.checked);
    EXPECT_EQ(Enabled(d), c.enabled);
  }
}

TEST(InsertDialog, FillingRunsTheHandlersInFillOrder) {
  struct Case {
    const char* what;
    bool useLsp, useFunc1;
    std::string checked, enabled;
  };
  const Case cases[] = {
      // Command mode with function 1: the handler of box 7 runs after command mode disabled
      // everything, so function 1's controls come back while the function boxes stay off.
      {"command, function 1", false, true, "x.....x.", "EEEE---- E---"},
      {"command, function 2", false, false, "x......x", "EE------ ----"},
      {"LISP, function 1", true, true, ".x....x.", "EEEE--EE E-EE"},
      {"LISP, function 2", true, false, ".x.....x", "EE--EEEE -EEE"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    InsertSettings s;
    s.useLspFlag = c.useLsp, s.useFunc1Flag = c.useFunc1, s.useFunc2Flag = !c.useFunc1;
    s.cutFlag = s.repeatFlag = s.expFlag = s.purgeFlag = false;
    InsertDialogState d;
    d.Fill(s);
    EXPECT_EQ(Enabled(d), c.enabled);
    EXPECT_EQ(Checked(d).substr(0, 2) + Checked(d).substr(6), c.checked.substr(0, 2) + c.checked.substr(6));
  }
}

TEST(InsertDialog, ReadBackGivesWhatWasFilledAndTyped) {
  InsertSettings s;
  s.useLspFlag = true, s.useFunc1Flag = true, s.useFunc2Flag = false;
  s.expFlag = true, s.purgeFlag = false, s.cutFlag = false, s.repeatFlag = true;
  s.funcName1 = u"a", s.funcName2 = u"b", s.lspName = u"D:\\x\\y.lsp";
  InsertDialogState d;
  d.Fill(s);
  EXPECT_EQ(d.ReadBack(), s);
  d.texts[InsertDialogState::kEdit3] = u"";
  d.Click(8);
  InsertSettings back = d.ReadBack();
  EXPECT_EQ(back.lspName, u"");
  EXPECT_FALSE(back.useFunc1Flag);
  EXPECT_TRUE(back.useFunc2Flag);
}

}  // namespace
}  // namespace tesmar
