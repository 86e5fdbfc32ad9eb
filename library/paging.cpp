#include "library/paging.h"

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

void RunPagingTimerTick(PagingTick s, const std::function<void(bool)>& turn) {
  if (s.cmdMode == kPagingForward) {
    if (!s.noNextPage && !s.busy) turn(true);
    if (s.noNextPage) s.cmdMode = kPagingNone, s.timerEnabled = false;
  } else if (s.cmdMode == kPagingBack) {
    if (!s.noPreviousPage && !s.busy) turn(false);
    if (s.noPreviousPage) s.cmdMode = kPagingNone, s.timerEnabled = false;
  }
}

}  // namespace tesmar
