#include "viewer/zoomer_controls_win.h"

#include <windowsx.h>

#include "ui/check_list_box.h"

namespace tesmar {

LRESULT TZoomerImage::HandleMessage(UINT msg, WPARAM wp, LPARAM lp) {
  const bool shift = (wp & MK_SHIFT) != 0;
  const int x = GET_X_LPARAM(lp), y = GET_Y_LPARAM(lp);
  auto press = [&](TMouseButton b) {
    SetCapture(hwnd());
    if (GetFocus() != hwnd()) SetFocus(hwnd());
    if (onMouseDown) onMouseDown(b, shift, x, y);
    return 0;
  };
  auto release = [&](TMouseButton b) {
    if (GetCapture() == hwnd() && !(wp & (MK_LBUTTON | MK_RBUTTON | MK_MBUTTON))) ReleaseCapture();
    if (onMouseUp) onMouseUp(b, shift, x, y);
    return 0;
  };
  switch (msg) {
    case WM_LBUTTONDOWN:
    case WM_LBUTTONDBLCLK:
      return press(TMouseButton::Left);
    case WM_RBUTTONDOWN:
    case WM_RBUTTONDBLCLK:
      return press(TMouseButton::Right);
    case WM_MBUTTONDOWN:
    case WM_MBUTTONDBLCLK:
      return press(TMouseButton::Middle);
    case WM_LBUTTONUP:
      return release(TMouseButton::Left);
    case WM_RBUTTONUP:
      return release(TMouseButton::Right);
    case WM_MBUTTONUP:
      return release(TMouseButton::Middle);
    case WM_MOUSEMOVE:
      if (onMouseMoveShift) onMouseMoveShift(shift, x, y);
      return 0;
    case WM_MOUSEWHEEL: {
      const POINT screen{GET_X_LPARAM(lp), GET_Y_LPARAM(lp)};
      for (int n = ui::WheelNotches(wp, wheelRest_); n != 0; n += n > 0 ? -1 : 1)
        if (onWheel) onWheel(n < 0, screen);
      return 0;
    }
    case WM_KEYDOWN:
      if (onKey && onKey(WORD(wp))) return 0;
      break;
  }
  return ImageBox::HandleMessage(msg, wp, lp);
}

}  // namespace tesmar
