#include "ui/topmost.h"

#include <vector>

namespace tesmar::ui {
namespace {

constexpr UINT kZOrderOnly = SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE;

std::vector<HWND> OwnedWindows(HWND owner) {
  struct Find {
    HWND owner;
    std::vector<HWND> found;
  } find{owner, {}};
  EnumWindows(
      [](HWND w, LPARAM lp) {
        auto* f = reinterpret_cast<Find*>(lp);
        if (GetWindow(w, GW_OWNER) == f->owner) f->found.push_back(w);
        return TRUE;
      },
      reinterpret_cast<LPARAM>(&find));
  return find.found;
}

}  // namespace

void SetTopmost(HWND hwnd, bool on) {
  if (!hwnd) return;
  SetWindowPos(hwnd, on ? HWND_TOPMOST : HWND_NOTOPMOST, 0, 0, 0, 0, kZOrderOnly);
  if (!on || IsTopmost(hwnd)) return;
  // Wine lifts the owned windows first and places the window right below the last of them;
  // it then takes the band from the window below, and when that one is outside the band the
  // window stays out (seen after the folder chooser, with the hidden forms owned by the main
  // window). Without owned windows it goes straight to the top of the band; they are given
  // back at once and placed above it again, in the band like their owner.
  const std::vector<HWND> owned = OwnedWindows(hwnd);
  for (HWND w : owned) SetWindowLongPtrW(w, GWLP_HWNDPARENT, 0);
  SetWindowPos(hwnd, HWND_TOPMOST, 0, 0, 0, 0, kZOrderOnly);
  for (auto it = owned.rbegin(); it != owned.rend(); ++it) {
    SetWindowLongPtrW(*it, GWLP_HWNDPARENT, reinterpret_cast<LONG_PTR>(hwnd));
    SetWindowPos(*it, HWND_TOPMOST, 0, 0, 0, 0, kZOrderOnly);
  }
}

}  // namespace tesmar::ui
