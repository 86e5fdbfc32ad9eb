#include "cadlink/target_list.h"

#include <gtest/gtest.h>

#include <algorithm>

#include "base/strings.h"
#include "tests/support/testdata.h"

namespace tesmar {
namespace {

using Rows = std::vector<std::u16string>;

// The list that ships beside the program: every row a name and a ProgID, the default target
// among them and found by the same match the dialog uses, no ProgID twice.
TEST(TargetList, TheShippedListNamesTheDefaultTargetAndAutomationProgIds) {
  TextLines text;
  ASSERT_TRUE(ReadTargetListFile(Utf8ToUtf16(std::string(TESMAR_SOURCE_DIR) + "/app/TargetCAD_APIVersion.txt"), text));
  ASSERT_GE(text.lines.size(), 2u);
  std::vector<std::u16string> ids;
  for (const auto& row : text.lines) {
    SCOPED_TRACE(Utf16ToUtf8(row));
    const TargetRowParts parts = SplitTargetRow(row);
    EXPECT_FALSE(parts.name.empty());
    EXPECT_NE(parts.progId.find(u'.'), std::u16string::npos);
    EXPECT_EQ(std::count(ids.begin(), ids.end(), parts.progId), 0);
    ids.push_back(parts.progId);
  }
  TargetList list;
  list.Load(text.lines, u"BricscadApp.AcadApplication");
  ASSERT_GE(list.Selected(), 0);
  EXPECT_EQ(list.progId, u"BricscadApp.AcadApplication");
  list.Load(text.lines, u"AutoCAD.Application");
  EXPECT_EQ(list.progId, u"AutoCAD.Application") << "the unversioned row, not a versioned one";
  EXPECT_EQ(CurrentTargetText(list.name, list.progId), u"現在のターゲット: " + list.name + u" (AutoCAD.Application)");
  EXPECT_EQ(CurrentTargetText(u"", u"X.Y"), u"現在のターゲット: X.Y");
  EXPECT_EQ(CurrentTargetText(u"", u""), u"現在のターゲット: (なし)");
}

TEST(TargetList, LoadSortsIgnoringCaseAndSelectsTheFirstRowHoldingTabAndProgId) {
  struct Case {
    const char* what;
    Rows lines;
    std::u16string target;
    int selected;
    std::u16string name, progId;
  };
  const Case cases[] = {
      {"exact", {u"Z\tB.App", u"a\tA.App"}, u"B.App", 1, u"Z", u"B.App"},
      {"a longer ProgID sorting first wins", {u"B\tAcad.App", u"A\tAcad.App.24"}, u"Acad.App", 0, u"A", u"Acad.App.24"},
      {"case matters", {u"a\tacad.app"}, u"Acad.App", -1, u"typed", u"typed id"},
      {"no TAB never matches", {u"Acad.App"}, u"Acad.App", -1, u"typed", u"typed id"},
      {"Japanese name", {u"ブリックスキャド\tBricscadApp.AcadApplication"}, u"BricscadApp.AcadApplication", 0,
       u"ブリックスキャド", u"BricscadApp.AcadApplication"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    TargetList list;
    list.name = u"typed", list.progId = u"typed id";
    list.Load(c.lines, c.target);
    EXPECT_EQ(list.Selected(), c.selected);
    EXPECT_EQ(list.name, c.name);
    EXPECT_EQ(list.progId, c.progId);
  }
  TargetList list;
  list.Load({u"b\t2", u"C\t3", u"A\t1"}, u"x");
  EXPECT_EQ(list.Rows(), (Rows{u"A\t1", u"b\t2", u"C\t3"}));
}

TEST(TargetList, RowWithoutTabIsAllProgId) {
  TargetList list;
  list.Load({u"Acad.App"}, u"x");
  list.Select(0);
  EXPECT_EQ(list.name, u"");
  EXPECT_EQ(list.progId, u"Acad.App");
}

TEST(TargetList, DeleteSelectsTheFollowingRowOnlyWhenTwoRowsFollowedElseThePreviousOne) {
  struct Case {
    const char* what;
    int rows, deleted, selected;
  };
  const Case cases[] = {
      {"first of four", 4, 0, 0},          // the row that followed moved up into place 0
      {"second-to-last of four", 4, 2, 1}, // the row before, not the last row
      {"last of four", 4, 3, 2},
      {"only row", 1, 0, -1},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    Rows lines;
    for (int i = 0; i < c.rows; ++i) lines.push_back(std::u16string(1, char16_t(u'a' + i)) + u"\tP" + IntToStr16(i));
    TargetList list;
    list.Load(lines, u"none");
    list.Select(c.deleted);
    ASSERT_TRUE(list.Delete());
    EXPECT_EQ(list.Rows().size(), static_cast<std::size_t>(c.rows - 1));
    EXPECT_EQ(list.Selected(), c.selected);
    if (c.selected >= 0) EXPECT_EQ(list.Rows()[c.selected].substr(0, 1), list.name);
    else EXPECT_EQ(list.name + list.progId, u"");
  }
  TargetList none;
  none.Load({u"a\t1"}, u"none");
  EXPECT_FALSE(none.Delete());
  EXPECT_EQ(none.Rows().size(), 1u);
}

TEST(TargetList, AddAndChange) {
  TargetList list;
  list.Load({u"Acad\tA.1", u"Zed\tZ.1"}, u"none");
  list.name = u"ACAD", list.progId = u"a.1";
  list.Add();  // equal ignoring case: a second row, the first of the two selected
  EXPECT_EQ(list.Rows(), (Rows{u"Acad\tA.1", u"ACAD\ta.1", u"Zed\tZ.1"}));
  EXPECT_EQ(list.Selected(), 0);
  EXPECT_EQ(list.name, u"Acad");

  list.name = u"", list.progId = u"";
  list.Add();  // no check of either text
  EXPECT_EQ(list.Rows().front(), u"\t");
  EXPECT_EQ(list.Selected(), 0);

  list.Select(3);
  list.name = u"Alpha", list.progId = u"Q.1";
  ASSERT_TRUE(list.Change());  // stays in its place and selected
  EXPECT_EQ(list.Rows()[3], u"Alpha\tQ.1");
  EXPECT_EQ(list.Selected(), 3);

  list.Select(-1);
  EXPECT_FALSE(list.Change());
  EXPECT_EQ(list.Rows()[3], u"Alpha\tQ.1");
}

TEST(TargetList, FileIsWrittenBackInTheEncodingItWasReadIn) {
  test::TempDir dir;
  const std::u16string file = U16FromPath(dir / "TargetCAD_APIVersion.txt");
  TextLines text;
  EXPECT_FALSE(ReadTargetListFile(file, text));  // missing: an empty list, ANSI when written
  WriteTargetListFile(file, text, {u"製図\tX.App"});
  EXPECT_EQ(test::ReadFile(dir / "TargetCAD_APIVersion.txt"), "\x90\xbb\x90\x7d\tX.App\r\n");

  test::WriteFile(dir / "TargetCAD_APIVersion.txt", "\xEF\xBB\xBF\xE8\xA3\xBD\xE5\x9B\xB3\tX.App\r\n");
  ASSERT_TRUE(ReadTargetListFile(file, text));
  TargetList list;
  list.Load(text.lines, u"X.App");
  EXPECT_EQ(list.name, u"製図");
  list.name = u"別", list.progId = u"Y.App";
  list.Add();
  WriteTargetListFile(file, text, list.Rows());
  EXPECT_EQ(test::ReadFile(dir / "TargetCAD_APIVersion.txt"),
            "\xEF\xBB\xBF\xE5\x88\xA5\tY.App\r\n\xE8\xA3\xBD\xE5\x9B\xB3\tX.App\r\n");
}

}  // namespace
}  // namespace tesmar
