#include "ui/form.h"

#include "ui/display.h"
#include "ui/theme.h"

namespace tesmar::ui {

void Form::CreateForm(const FormDesign& params) {
  dpi_ = DpiOf(nullptr);
  SIZE outer = OuterSizeFor(Scaled(params.clientWidth, dpi_), Scaled(params.clientHeight, dpi_), params.style,
                            params.exStyle, dpi_);
  WindowParams w;
  w.className = params.className;
  w.style = params.style;
  w.exStyle = params.exStyle;
  w.caption = params.caption;
  w.width = outer.cx, w.height = outer.cy;
  w.parent = params.owner;
  if (params.centred) {
    w.x = (GetSystemMetrics(SM_CXSCREEN) - outer.cx) / 2;
    w.y = (GetSystemMetrics(SM_CYSCREEN) - outer.cy) / 2;
  }
  Create(w);
  ThemeWindow(hwnd());
}

SIZE Form::ClientSize() const {
  RECT r{};
  GetClientRect(hwnd(), &r);
  return SIZE{r.right, r.bottom};
}

LRESULT Form::HandleMessage(UINT msg, WPARAM wp, LPARAM lp) {
  switch (msg) {
    case WM_CTLCOLOREDIT:
    case WM_CTLCOLORSTATIC:
    case WM_CTLCOLORLISTBOX:
    case WM_CTLCOLORBTN:
      return ControlColour(msg, reinterpret_cast<HDC>(wp), reinterpret_cast<HWND>(lp));
    case WM_ERASEBKGND: {
      RECT r;
      GetClientRect(hwnd(), &r);
      FillRect(reinterpret_cast<HDC>(wp), &r, WindowBrush());
      return 1;
    }
  }
  return Window::HandleMessage(msg, wp, lp);
}

}  // namespace tesmar::ui
