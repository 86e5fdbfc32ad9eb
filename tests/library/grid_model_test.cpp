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
