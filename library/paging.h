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

// One tick of the paging timer. `cmdMode` and `timerEnabled` are the window's; the flags
// are read after `turn` ran, so the timer stops at the tick that reached the last (first)
// page, or at once when there was none to turn to.
struct PagingTick {
  int& cmdMode;
  bool& timerEnabled;
  const bool& noNextPage;
  const bool& noPreviousPage;
  const bool& busy;
};
void RunPagingTimerTick(PagingTick state, const std::function<void(bool forward)>& turn);

}  // namespace tesmar
