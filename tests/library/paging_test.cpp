#include "library/paging.h"

#include <gtest/gtest.h>

#include <functional>
#include <vector>

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

// The window's paging state as the buttons and the timer see it; the delay is four ticks.
struct Grid {
  static constexpr int kDelay = 4;
  int drawings;
  int top = 0;
  bool upNG, dnNG = true, busy = false;
  int cmdMode = kPagingNone, held = 0;
  bool timer = false;
  int turns = 0;
  std::function<void()> duringTurn;
  explicit Grid(int n) : drawings(n), upNG(NoNextPage(0, n)) {}
  PagingButtons State() { return {cmdMode, held, timer, upNG, dnNG, busy}; }
  void Turn(bool forward) {
    top = TurnedTop(top, drawings, forward);
    upNG = NoNextPage(top, drawings);
    dnNG = NoPreviousPage(top);
    ++turns;
    if (duringTurn) duringTurn();
  }
  void Press(bool forward) {
    PressPagingButton(State(), forward ? kPagingForward : kPagingBack, [&](bool f) { Turn(f); });
  }
  void Release() { ReleasePagingButton(State()); }
  void Tick() { RunPagingTimerTick(State(), kDelay, [&](bool f) { Turn(f); }); }
  // Ticks while the timer runs, at most `n`; the turns of each.
  std::vector<int> Ticks(int n) {
    std::vector<int> perTick;
    for (int i = 0; i < n && timer; ++i) {
      const int before = turns;
      Tick();
      perTick.push_back(turns - before);
    }
    return perTick;
  }
};

TEST(Paging, AQuickClickTurnsExactlyOnePage) {
  Grid g(95);
  g.Press(true);
  EXPECT_EQ(g.top, 30);
  EXPECT_TRUE(g.timer);
  g.Release();
  EXPECT_FALSE(g.timer);
  EXPECT_EQ(g.cmdMode, kPagingNone);
  g.Press(false);
  g.Release();
  EXPECT_EQ(g.top, 0);
  EXPECT_EQ(g.turns, 2);
}

TEST(Paging, AHeldButtonRepeatsAfterTheDelayOnePagePerTickUntilTheEnd) {
  Grid g(155);  // six pages
  g.Press(true);
  EXPECT_EQ(g.Ticks(20), (std::vector<int>{0, 0, 0, 1, 1, 1, 1})) << "the last page stops the timer";
  EXPECT_EQ(g.top, 150);
  EXPECT_EQ(g.cmdMode, kPagingNone);
  g.Press(false);
  EXPECT_EQ(g.Ticks(5), (std::vector<int>{0, 0, 0, 1, 1}));
  g.Release();
  EXPECT_EQ(g.top, 60) << "one page at the press, two after the delay";
  EXPECT_FALSE(g.timer);
}

TEST(Paging, APressOnTheLastOrFirstPageTurnsNone) {
  struct Case {
    int drawings;
    bool forward;
    int top;
  } cases[] = {{30, true, 0}, {0, true, 0}, {65, false, 0}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.drawings);
    Grid g(c.drawings);
    g.Press(c.forward);
    EXPECT_EQ(g.turns, 0);
    EXPECT_FALSE(g.timer);
    EXPECT_EQ(g.cmdMode, kPagingNone);
  }
  Grid g31(31);  // the press reaches the last page: one turn, no repeat
  g31.Press(true);
  EXPECT_EQ(g31.top, 30);
  EXPECT_EQ(PageLabel(g31.top, PageCount(31)), u"2 / 2");
  EXPECT_FALSE(g31.timer);
}

TEST(Paging, ABusyGridSkipsTheTurnAndAReleaseDuringTheTurnStops) {
  Grid g(95);
  g.busy = true;
  g.Press(true);
  EXPECT_EQ(g.turns, 0);
  EXPECT_TRUE(g.timer);
  g.busy = false;
  EXPECT_EQ(g.Ticks(4), (std::vector<int>{0, 0, 0, 1}));

  Grid r(95);
  r.duringTurn = [&] { r.Release(); };  // the page loads and lets the release through
  r.Press(true);
  EXPECT_EQ(r.turns, 1);
  EXPECT_FALSE(r.timer);
  EXPECT_EQ(r.cmdMode, kPagingNone);
}

TEST(Paging, TheRepeatDelayInTicks) {
  EXPECT_EQ(RepeatDelayTicks(250, 100), 3);
  EXPECT_EQ(RepeatDelayTicks(500, 100), 5);
  EXPECT_EQ(RepeatDelayTicks(1000, 100), 10);
  EXPECT_EQ(RepeatDelayTicks(0, 100), 1);
}

}  // namespace
}  // namespace tesmar
