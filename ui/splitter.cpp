#include "ui/splitter.h"

#include <windowsx.h>

#include "ui/theme.h"

namespace tesmar::ui {

void Splitter::Create(HWND parent, std::u16string name, int x, int y, int w, int h) {
  name_ = std::move(name);
  WindowParams params;
  params.className = L"TesmarSplitter";
  params.style = WS_CHILD | WS_VISIBLE;
  params.x = x, params.y = y, params.width = w, params.height = h;
  params.parent = parent;
  params.cursor = LoadCursorW(nullptr, IDC_SIZEWE);
  params.background = WindowBrush();
  Window::Create(params);
}

LRESULT Splitter::HandleMessage(UINT msg, WPARAM wp, LPARAM lp) {
  switch (msg) {
    case WM_LBUTTONDOWN:
      grab_ = GET_X_LPARAM(lp);
      dragging_ = true;
      SetCapture(hwnd());
      return 0;
    case WM_MOUSEMOVE:
      if (dragging_ && onDrag) {
        POINT p{GET_X_LPARAM(lp), GET_Y_LPARAM(lp)};
        MapWindowPoints(hwnd(), GetParent(hwnd()), &p, 1);
        onDrag(p.x - grab_);
      }
      return 0;
    case WM_LBUTTONUP:
      if (GetCapture() == hwnd()) ReleaseCapture();  // WM_CAPTURECHANGED ends the drag
      if (dragging_) {
        dragging_ = false;
        if (onMoved) onMoved();
      }
      return 0;
    case WM_CAPTURECHANGED:
      if (dragging_) {
        dragging_ = false;
        if (onMoved) onMoved();
      }
      return 0;
  }
  return Window::HandleMessage(msg, wp, lp);
}

}  // namespace tesmar::ui
