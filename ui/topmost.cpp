#include "ui/topmost.h"

namespace tesmar::ui {

void SetTopmost(HWND hwnd, bool on) {
  if (!hwnd) return;
  SetWindowPos(hwnd, on ? HWND_TOPMOST : HWND_NOTOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
}

}  // namespace tesmar::ui
