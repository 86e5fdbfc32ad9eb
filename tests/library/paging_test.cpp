#include "library/paging.h"

#include <gtest/gtest.h>

namespace tesmar {
namespace {

TEST(Paging, PageArithmetic) {
  struct Case {
    int drawings, pages;
    bool noNextOnFirst;
    const char16_t* lastLabel;
  } cases[] = {
      {0, 0, true, u"1 / 0"},
      {1, 1, true, u"1 / 1"},
      {30, 1, true, u"1 / 1"},
      {31, 2, false, u"2 / 2"},
      {65, 3, false, u"3 / 3"},
      {90, 3, false, u"3 / 3"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.drawings);
    EXPECT_EQ(PageCount(c.drawings), c.pages);
    EXPECT_EQ(NoNextPage(0, c.drawings), c.noNextOnFirst);
    EXPECT_TRUE(NoPreviousPage(0));
    const int lastTop = c.pages > 0 ? (c.pages - 1) * 30 : 0;
    EXPECT_EQ(PageLabel(lastTop, c.pages), c.lastLabel);
    EXPECT_TRUE(NoNextPage(lastTop, c.drawings));
  }
  EXPECT_FALSE(NoPreviousPage(30));
  EXPECT_EQ(PageShown(0), 1);
  EXPECT_EQ(PageShown(29), 1);  // (29 + 1) div 30
  EXPECT_EQ(PageShown(30), 2);
}

TEST(Paging, EntrySixtyFiveIsCellFiveOfPageThree) {
  EXPECT_EQ(PageTopOf(65), 60);
  EXPECT_EQ(PageShown(PageTopOf(65)), 3);
  EXPECT_EQ(65 - PageTopOf(65), 5);
  EXPECT_EQ(PageTopOf(0), 0);
  EXPECT_EQ(PageTopOf(29), 0);
  EXPECT_EQ(PageTopOf(30), 30);
}

TEST(Paging, TurnsStayOnPagesThatExist) {
  EXPECT_EQ(TurnedTop(0, 31, true), 30);
  EXPECT_EQ(TurnedTop(30, 31, true), 30);
  EXPECT_EQ(TurnedTop(30, 65, true), 60);
  EXPECT_EQ(TurnedTop(60, 65, false), 30);
  EXPECT_EQ(TurnedTop(0, 65, false), 0);
  EXPECT_EQ(TurnedTop(0, 0, true), 0);
}

// The window's paging state as the timer sees it.
struct Grid {
  int drawings;
  int top = 0;
  bool upNG, dnNG = true, busy = false;
  int cmdMode = kPagingNone;
  bool timer = false;
  int turns = 0;
  explicit Grid(int n) : drawings(n), upNG(NoNextPage(0, n)) {}
  void Press(bool forward) { cmdMode = forward ? kPagingForward : kPagingBack, timer = true; }
  void Tick() {
    RunPagingTimerTick({cmdMode, timer, upNG, dnNG, busy}, [&](bool forward) {
      top = TurnedTop(top, drawings, forward);
      upNG = NoNextPage(top, drawings);
      dnNG = NoPreviousPage(top);
      ++turns;
    });
  }
};

TEST(Paging, HoldingTheButtonsTurnsUntilTheEndThenStopsTheTimer) {
  Grid g30(30);  // one page: nothing to turn, the first tick stops the timer
  g30.Press(true);
  g30.Tick();
  EXPECT_EQ(g30.turns, 0);
  EXPECT_FALSE(g30.timer);
  EXPECT_EQ(g30.cmdMode, kPagingNone);

  Grid g31(31);
  g31.Press(true);
  g31.Tick();
  EXPECT_EQ(g31.top, 30);
  EXPECT_EQ(PageLabel(g31.top, PageCount(31)), u"2 / 2");
  EXPECT_FALSE(g31.timer) << "stopped at the tick that reached the last page";

  Grid g95(95);
  g95.Press(true);
  for (int i = 0; i < 2; ++i) g95.Tick();
  EXPECT_TRUE(g95.timer);
  g95.Tick();
  EXPECT_EQ(g95.top, 90);
  EXPECT_FALSE(g95.timer);

  g95.Press(false);
  for (int i = 0; i < 3; ++i) g95.Tick();
  EXPECT_EQ(g95.top, 0);
  EXPECT_FALSE(g95.timer);
  EXPECT_EQ(g95.turns, 6);

  Grid first(65);  // "<<" on page 1
  first.Press(false);
  first.Tick();
  EXPECT_EQ(first.turns, 0);
  EXPECT_FALSE(first.timer);
}

TEST(Paging, ABusyGridSkipsTheTurnButKeepsTheTimer) {
  Grid g(65);
  g.Press(true);
  g.busy = true;
  g.Tick();
  EXPECT_EQ(g.turns, 0);
  EXPECT_TRUE(g.timer);
  g.busy = false;
  g.Tick();
  EXPECT_EQ(g.top, 30);
}

}  // namespace
}  // namespace tesmar
