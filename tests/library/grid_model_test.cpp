#include "library/grid_model.h"

#include <gtest/gtest.h>

#include "base/strings.h"

namespace tesmar {
namespace {

GridModel WithDrawings(int n) {
  std::vector<std::u16string> names;
  for (int i = n - 1; i >= 0; --i) names.push_back(u"d" + IntToStr16(1000 + i) + u".dwg");
  GridModel g;
  g.SetDrawings(std::move(names));
  return g;
}

TEST(GridModel, DrawingsAreSortedIgnoringLetterCaseAndTheFirstPageShown) {
  GridModel g;
  g.g_dxfTop = 30;
  g.SetDrawings({u"b.dwg", u"C.dwg", u"a.dwg", u"B2.dwg"});
  EXPECT_EQ(g.dxfNameSL, (std::vector<std::u16string>{u"a.dwg", u"b.dwg", u"B2.dwg", u"C.dwg"}));
  EXPECT_EQ(g.g_dxfTop, 0);
  EXPECT_EQ(g.Label(), u"1 / 1");
  EXPECT_TRUE(g.g_ImgUpNG);
  EXPECT_TRUE(g.g_ImgDnNG);
  ASSERT_NE(g.DrawingOfCell(3), nullptr);
  EXPECT_EQ(*g.DrawingOfCell(3), u"C.dwg");
  EXPECT_EQ(g.DrawingOfCell(4), nullptr);
  EXPECT_EQ(g.DrawingOfCell(-1), nullptr);
}

TEST(GridModel, TurnsStopAtTheLastAndFirstPage) {
  GridModel g = WithDrawings(65);
  struct Step {
    bool forward, turned;
    int top;
    bool noNext, noPrevious;
    const char16_t* label;
  } steps[] = {
      {true, true, 30, false, false, u"2 / 3"},  {true, true, 60, true, false, u"3 / 3"},
      {true, false, 60, true, false, u"3 / 3"},  {false, true, 30, false, false, u"2 / 3"},
      {false, true, 0, false, true, u"1 / 3"},   {false, false, 0, false, true, u"1 / 3"},
  };
  for (const auto& s : steps) {
    SCOPED_TRACE(s.top);
    EXPECT_EQ(g.Turn(s.forward), s.turned);
    EXPECT_EQ(g.g_dxfTop, s.top);
    EXPECT_EQ(g.g_ImgUpNG, s.noNext);
    EXPECT_EQ(g.g_ImgDnNG, s.noPrevious);
    EXPECT_EQ(g.Label(), s.label);
  }
}

TEST(GridModel, ShowingAnEntryTurnsToItsPageAndItsCellHoldsIt) {
  GridModel g = WithDrawings(65);
  EXPECT_TRUE(g.ShowPageOf(64));
  EXPECT_EQ(g.g_dxfTop, 60);
  EXPECT_TRUE(g.g_ImgUpNG);
  EXPECT_EQ(*g.DrawingOfCell(4), g.dxfNameSL[64]);
  EXPECT_EQ(g.DrawingOfCell(5), nullptr);
  EXPECT_FALSE(g.ShowPageOf(61));
  g.Clear();
  EXPECT_EQ(g.Count(), 0);
  EXPECT_TRUE(g.g_ImgUpNG && g.g_ImgDnNG);
  EXPECT_EQ(g.DrawingOfCell(0), nullptr);
}

}  // namespace
}  // namespace tesmar

namespace tesmar {
namespace {

TEST(GridLayout, SixByFiveWhenWideFiveBySixWhenTallCellsGrowWithTheArea) {
  struct Case {
    int w, h, nameStrip;
    GridLayout expected;
  } cases[] = {
      // The designed grid area at 96 dpi: 45-pixel cells, as the palette has always had.
      {274, 227, 0, {6, 5, 43, 45, 45, 2}},
      // With a name strip of 14 under each picture, in the area made taller for it.
      {274, 297, 14, {6, 5, 43, 45, 59, 2}},
      // Grown: the pictures grow with the frame, the orientation follows the shape.
      {602, 502, 0, {6, 5, 98, 100, 100, 2}},
      {502, 602, 0, {5, 6, 98, 100, 100, 2}},
      {502, 602, 20, {6, 5, 81, 83, 103, 2}},  // the name lines make 6 x 5 the larger here
      // A square area: 6 x 5 stays.
      {400, 400, 0, {6, 5, 64, 66, 66, 2}},
      // Too small for anything: one pixel, never zero or less.
      {5, 5, 14, {6, 5, 1, 3, 17, 2}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(::testing::Message() << c.w << " x " << c.h << " names " << c.nameStrip);
    EXPECT_EQ(LayOutGrid(c.w, c.h, c.nameStrip, 2, 2), c.expected);
  }
}

TEST(GridLayout, ArrowKeysMoveCellByCellAndAcrossPagesAtTheEdges) {
  struct Case {
    int index, count, columns, rows;
    GridMove move;
    int expected;
  } cases[] = {
      {0, 95, 6, 5, GridMove::Right, 1},
      {7, 95, 6, 5, GridMove::Left, 6},
      {2, 95, 6, 5, GridMove::Down, 8},
      {8, 95, 6, 5, GridMove::Up, 2},
      {0, 95, 6, 5, GridMove::Left, 0},    // before the first: stays
      {2, 95, 6, 5, GridMove::Up, 2},      // top row of page 1: stays
      {29, 95, 6, 5, GridMove::Right, 30}, // last cell: first of the next page
      {30, 95, 6, 5, GridMove::Left, 29},  // and back
      {26, 95, 6, 5, GridMove::Down, 32},  // bottom row: top row of the next page, same column
      {32, 95, 6, 5, GridMove::Up, 26},    // top row: bottom row of the page before
      {27, 95, 5, 6, GridMove::Down, 32},  // 5 x 6: column 2 of the bottom row
      {33, 95, 5, 6, GridMove::Up, 28},
      {88, 95, 6, 5, GridMove::Down, 94},  // bottom row of page 3: the same column of page 4
      {89, 95, 6, 5, GridMove::Down, 94},  // a column page 4 has no drawing in: the last drawing
      {94, 95, 6, 5, GridMove::Right, 94}, // past the last: stays
      {93, 95, 6, 5, GridMove::Down, 94},
      {94, 95, 6, 5, GridMove::Down, 94},
      {62, 95, 6, 5, GridMove::Up, 56},    // top row of page 3: bottom row of page 2
      {-1, 95, 6, 5, GridMove::Right, 0},  // nothing selected: the first
      {0, 0, 6, 5, GridMove::Right, -1},   // no drawings: none
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(::testing::Message() << c.index << " move " << static_cast<int>(c.move));
    EXPECT_EQ(MoveSelection(c.index, c.count, c.columns, c.rows, c.move), c.expected);
  }
}

}  // namespace
}  // namespace tesmar
