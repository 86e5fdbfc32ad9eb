#include "library/paging.h"

#include <algorithm>

#include "base/strings.h"

namespace tesmar {

int PageCount(int n) { return n / kCellsPerPage + (n % kCellsPerPage != 0 ? 1 : 0); }

int PageShown(int top) {
  return (top + 1) / kCellsPerPage + ((top + 1) % kCellsPerPage != 0 ? 1 : 0);
}

bool NoPreviousPage(int top) { return top < kCellsPerPage; }
bool NoNextPage(int top, int n) { return top + kCellsPerPage >= n; }

std::u16string PageLabel(int top, int pageCount) {
  return IntToStr16(PageShown(top)) + u" / " + IntToStr16(pageCount);
}

int PageTopOf(int index) { return index < 0 ? 0 : (index / kCellsPerPage) * kCellsPerPage; }

int TurnedTop(int top, int n, bool forward) {
  // Forward only onto a page that holds a drawing: a turn from the last page would show an
  // empty grid labelled past the page count.
  if (forward) return top + kCellsPerPage < n ? top + kCellsPerPage : top;
  if (top >= kCellsPerPage) return top - kCellsPerPage;
  return top;
}

int RepeatDelayTicks(int delayMs, int intervalMs) {
  if (intervalMs <= 0) return 1;
  return std::max(1, (delayMs + intervalMs - 1) / intervalMs);
}

namespace {

bool NoPageThatWay(const PagingButtons& s) {
  return s.cmdMode == kPagingForward ? s.noNextPage : s.cmdMode == kPagingBack ? s.noPreviousPage : true;
}

void Stop(PagingButtons& s) {
  s.cmdMode = kPagingNone;
  s.timerEnabled = false;
}

// Turns one page the way of cmdMode when there is one and no turn is running; stops when the
// turn reached the end or the button went up meanwhile.
void TurnOnce(PagingButtons& s, const std::function<void(bool)>& turn) {
  const int mode = s.cmdMode;
  if (NoPageThatWay(s)) return Stop(s);
  if (!s.busy) turn(mode == kPagingForward);
  if (s.cmdMode != mode || NoPageThatWay(s)) Stop(s);
}

}  // namespace

void PressPagingButton(PagingButtons s, int mode, const std::function<void(bool)>& turn) {
  s.cmdMode = mode;
  s.heldTicks = 0;
  s.timerEnabled = true;
  TurnOnce(s, turn);
}

void ReleasePagingButton(PagingButtons s) { Stop(s); }

void RunPagingTimerTick(PagingButtons s, int delayTicks, const std::function<void(bool)>& turn) {
  if (s.cmdMode != kPagingForward && s.cmdMode != kPagingBack) return Stop(s);
  if (++s.heldTicks < delayTicks) return;
  TurnOnce(s, turn);
}

}  // namespace tesmar
