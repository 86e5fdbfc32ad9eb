#pragma once
// Page arithmetic of the preview grid (30 drawings a page) and the auto-repeat of the two
// paging buttons.
#include <functional>
#include <string>

namespace tesmar {

constexpr int kCellsPerPage = 30;
constexpr int kPagingNone = 0;
constexpr int kPagingForward = 101;
constexpr int kPagingBack = 201;

int PageCount(int drawings);                  // 0 for an empty folder
int PageShown(int top);                       // 1-based page of the drawing index `top`
bool NoPreviousPage(int top);                 // g_ImgDnNG
bool NoNextPage(int top, int drawings);       // g_ImgUpNG
std::u16string PageLabel(int top, int pageCount);  // "2 / 3"
int PageTopOf(int index);                     // first index of the page holding `index`
// The first drawing after a page turn; the old value when there is no page that way.
int TurnedTop(int top, int drawings, bool forward);

// The auto-repeat of the two paging buttons, as every Windows repeat button behaves: one page
// at the press; while the button is held past the keyboard repeat delay, one page per tick of
// the paging timer, until the release or the last (first) page. The fields are the window's.
struct PagingButtons {
  int& cmdMode;          // CMDMODE: kPagingNone, kPagingForward or kPagingBack
  int& heldTicks;        // timer ticks since the press
  bool& timerEnabled;
  const bool& noNextPage;      // g_ImgUpNG, read again after each turn
  const bool& noPreviousPage;  // g_ImgDnNG
  const bool& busy;            // g_ImgBusy: a page turn is running
};

// The timer ticks that make up the keyboard repeat delay; at least one.
int RepeatDelayTicks(int delayMs, int intervalMs);

// The button goes down (`mode` is kPagingForward or kPagingBack): one page at once, unless a
// turn is running; the timer runs while there is a page further that way. A release while
// the page loads stops it.
void PressPagingButton(PagingButtons state, int mode, const std::function<void(bool forward)>& turn);
void ReleasePagingButton(PagingButtons state);

// One tick: nothing until the button has been held for `delayTicks` ticks, then one page per
// tick. The timer stops at the tick that reached the last (first) page, or at once when there
// was none to turn to.
void RunPagingTimerTick(PagingButtons state, int delayTicks, const std::function<void(bool forward)>& turn);

}  // namespace tesmar
