#include "ui/custom_controls.h"

#include <windowsx.h>

#include <algorithm>
#include <stdexcept>

#include "base/strings.h"
#include "ui/theme.h"

namespace tesmar::ui {
namespace {

void DrawRaisedOuter(HDC dc, const RECT& r) {
  const auto& c = Colours();
  Pen light(CreatePen(PS_SOLID, 1, c.light)), shadow(CreatePen(PS_SOLID, 1, c.shadow));
  Selection keep(dc, light.get());
  MoveToEx(dc, r.left, r.bottom - 1, nullptr);
  LineTo(dc, r.left, r.top);
  LineTo(dc, r.right - 1, r.top);
  SelectObject(dc, shadow.get());
  LineTo(dc, r.right - 1, r.bottom - 1);
  LineTo(dc, r.left - 1, r.bottom - 1);
}

void FillSolid(HDC dc, const RECT& r, COLORREF colour) {
  Brush b(CreateSolidBrush(colour));
  FillRect(dc, &r, b.get());
}

}  // namespace

void NamedChild::CreateChild(const wchar_t* cls, HWND parent, std::u16string name, std::u16string caption, int x,
                             int y, int w, int h, UINT_PTR id, DWORD extraStyle) {
  name_ = std::move(name);
  WindowParams params;
  params.className = cls;
  params.style = WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS | WS_CLIPCHILDREN | extraStyle;
  params.caption = std::move(caption);
  params.x = x, params.y = y, params.width = w, params.height = h;
  params.parent = parent;
  params.id = id;
  Window::Create(params);
}

bool NamedChild::ForwardsToParent(UINT msg) {
  switch (msg) {
    case WM_COMMAND:
    case WM_NOTIFY:
    case WM_DRAWITEM:
    case WM_MEASUREITEM:
    case WM_CTLCOLOREDIT:
    case WM_CTLCOLORSTATIC:
    case WM_CTLCOLORLISTBOX:
    case WM_CTLCOLORBTN:
      return true;
    default:
      return false;
  }
}

// ---- Panel

void Panel::Create(HWND parent, std::u16string name, int x, int y, int w, int h) {
  std::u16string caption = name;
  CreateChild(L"TesmarPanel", parent, std::move(name), std::move(caption), x, y, w, h, 0);
}

void Panel::SetBevelRaised(bool on) {
  if (bevelRaised_ == on) return;
  bevelRaised_ = on;
  InvalidateRect(hwnd(), nullptr, TRUE);
}

void Panel::SetShowCaption(bool on) {
  showCaption_ = on;
  InvalidateRect(hwnd(), nullptr, TRUE);
}

void Panel::SetColour(std::optional<COLORREF> c) {
  colour_ = c;
  InvalidateRect(hwnd(), nullptr, TRUE);
}

LRESULT Panel::HandleMessage(UINT msg, WPARAM wp, LPARAM lp) {
  if (ForwardsToParent(msg)) return SendMessageW(GetParent(hwnd()), msg, wp, lp);
  switch (msg) {
    case WM_ERASEBKGND:
      return 1;
    case WM_PAINT: {
      PaintDc paint(hwnd());
      RECT r;
      GetClientRect(hwnd(), &r);
      FillSolid(paint.get(), r, colour_.value_or(Colours().window));
      if (bevelRaised_) DrawRaisedOuter(paint.get(), r);
      if (showCaption_) {
        std::wstring text = ToWide(WindowText(hwnd()));
        SetBkMode(paint.get(), TRANSPARENT);
        SetTextColor(paint.get(), Colours().text);
        Selection font(paint.get(), reinterpret_cast<HGDIOBJ>(SendMessageW(GetParent(hwnd()), WM_GETFONT, 0, 0)));
        DrawTextW(paint.get(), text.c_str(), -1, &r, DT_CENTER | DT_VCENTER | DT_SINGLELINE);
      }
      return 0;
    }
  }
  return Window::HandleMessage(msg, wp, lp);
}

// ---- Shape

void Shape::Create(HWND parent, std::u16string name, int x, int y, int w, int h, COLORREF colour) {
  brush_ = pen_ = colour;
  CreateChild(L"TesmarShape", parent, std::move(name), {}, x, y, w, h, 0);
}

void Shape::SetColour(COLORREF c) {
  brush_ = pen_ = c;
  RedrawWindow(hwnd(), nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
}

LRESULT Shape::HandleMessage(UINT msg, WPARAM wp, LPARAM lp) {
  switch (msg) {
    case WM_ERASEBKGND:
      return 1;
    case WM_NCHITTEST:
      return HTTRANSPARENT;  // a shape takes no mouse input
    case WM_PAINT: {
      PaintDc paint(hwnd());
      RECT r;
      GetClientRect(hwnd(), &r);
      Brush b(CreateSolidBrush(brush_));
      Pen p(CreatePen(PS_SOLID, 1, pen_));
      Selection sb(paint.get(), b.get()), sp(paint.get(), p.get());
      Rectangle(paint.get(), r.left, r.top, r.right, r.bottom);
      return 0;
    }
  }
  return Window::HandleMessage(msg, wp, lp);
}

// ---- ImageBox

void ImageBox::Create(HWND parent, std::u16string name, int x, int y, int w, int h, UINT_PTR id) {
  CreateChild(L"TesmarImage", parent, std::move(name), {}, x, y, w, h, id);
}

DibBitmap& ImageBox::Picture() {
  if (!picture_) {
    RECT r;
    GetClientRect(hwnd(), &r);
    NewPicture(std::max<int>(1, r.right), std::max<int>(1, r.bottom));
  }
  return *picture_;
}

DibBitmap& ImageBox::NewPicture(int w, int h) {
  companion_.reset();
  picture_ = std::make_unique<DibBitmap>(w, h, 24);
  InvalidateRect(hwnd(), nullptr, FALSE);
  return *picture_;
}

void ImageBox::PaintFrame(HDC dc, const RECT& r) const {
  if (!frame_) return;
  // Two pixels at 96 dpi, at least one, drawn inside the box.
  const int t = std::max(1, MulDiv(2, static_cast<int>(GetDpiForWindow(hwnd())), 96));
  Brush b(CreateSolidBrush(*frame_));
  const RECT edges[4] = {{r.left, r.top, r.right, r.top + t}, {r.left, r.bottom - t, r.right, r.bottom},
                         {r.left, r.top, r.left + t, r.bottom}, {r.right - t, r.top, r.right, r.bottom}};
  for (const RECT& e : edges) FillRect(dc, &e, b.get());
}

void ImageBox::SetFrame(std::optional<COLORREF> colour) {
  if (frame_ == colour) return;
  frame_ = colour;
  InvalidateRect(hwnd(), nullptr, FALSE);
}

void ImageBox::Paint(HDC dc) {
  RECT r;
  GetClientRect(hwnd(), &r);
  if (!picture_) {
    FillSolid(dc, r, Colours().window);
    PaintFrame(dc, r);
    return;
  }
  int pw = picture_->Width(), ph = picture_->Height();
  int w = r.right, h = r.bottom;
  if (stretch) {
    int dw = w, dh = h;
    if (proportional && pw > 0 && ph > 0) {
      if (static_cast<long long>(pw) * h > static_cast<long long>(ph) * w) dh = MulDiv(ph, w, pw);
      else dw = MulDiv(pw, h, ph);
    }
    int x = center ? (w - dw) / 2 : 0, y = center ? (h - dh) / 2 : 0;
    if (dw != w || dh != h) FillSolid(dc, r, Colours().window);
    SetStretchBltMode(dc, COLORONCOLOR);
    StretchBlt(dc, x, y, dw, dh, picture_->Dc(), 0, 0, pw, ph, SRCCOPY);
  } else {
    int x = center ? (w - pw) / 2 : 0, y = center ? (h - ph) / 2 : 0;
    if (pw < w || ph < h) FillSolid(dc, r, Colours().window);
    BitBlt(dc, x, y, pw, ph, picture_->Dc(), 0, 0, SRCCOPY);
  }
  PaintFrame(dc, r);
}

LRESULT ImageBox::HandleMessage(UINT msg, WPARAM wp, LPARAM lp) {
  switch (msg) {
    case WM_ERASEBKGND:
      return 1;
    case WM_PAINT: {
      PaintDc paint(hwnd());
      Paint(paint.get());
      return 0;
    }
    case WM_MOUSEMOVE:
      mouseKeys_ = wp;
      if (onMouseMove) onMouseMove(*this, GET_X_LPARAM(lp), GET_Y_LPARAM(lp));
      return 0;
    case WM_LBUTTONDBLCLK:
      if (onDblClick) onDblClick(*this);
      return 0;
    case WM_LBUTTONDOWN:
      if (onMouseDown) onMouseDown(*this, GET_X_LPARAM(lp), GET_Y_LPARAM(lp));
      return 0;
    case WM_LBUTTONUP:
      if (onMouseUp) onMouseUp(*this);
      return 0;
  }
  return Window::HandleMessage(msg, wp, lp);
}

// ---- FlatButton

void FlatButton::Create(HWND parent, std::u16string name, std::u16string caption, int x, int y, int w, int h,
                        UINT_PTR id) {
  CreateChild(L"TesmarButton", parent, std::move(name), std::move(caption), x, y, w, h, id);
}

void FlatButton::Release(bool click) {
  if (!pressed_) return;
  pressed_ = false;
  InvalidateRect(hwnd(), nullptr, FALSE);
  if (GetCapture() == hwnd()) ReleaseCapture();
  if (onMouseUp) onMouseUp();
  if (click && onClick) onClick();
}

LRESULT FlatButton::HandleMessage(UINT msg, WPARAM wp, LPARAM lp) {
  switch (msg) {
    case WM_SETFONT:
      font_ = reinterpret_cast<HFONT>(wp);
      if (lp) InvalidateRect(hwnd(), nullptr, FALSE);
      return 0;
    case WM_GETFONT:
      return reinterpret_cast<LRESULT>(font_);
    case WM_ERASEBKGND:
      return 1;
    case WM_PAINT: {
      PaintDc paint(hwnd());
      const auto& c = Colours();
      RECT r;
      GetClientRect(hwnd(), &r);
      FillSolid(paint.get(), r, pressed_ ? c.faceDown : c.face);
      if (!pressed_) DrawRaisedOuter(paint.get(), r);
      std::wstring text = ToWide(WindowText(hwnd()));
      SetBkMode(paint.get(), TRANSPARENT);
      SetTextColor(paint.get(), IsWindowEnabled(hwnd()) ? c.text : c.disabledText);
      Selection font(paint.get(), font_ ? static_cast<HGDIOBJ>(font_) : GetStockObject(DEFAULT_GUI_FONT));
      if (pressed_) OffsetRect(&r, 1, 1);
      DrawTextW(paint.get(), text.c_str(), -1, &r, DT_CENTER | DT_VCENTER | DT_SINGLELINE);
      return 0;
    }
    case WM_LBUTTONDOWN:
    case WM_LBUTTONDBLCLK:
      pressed_ = true;
      SetCapture(hwnd());
      InvalidateRect(hwnd(), nullptr, FALSE);
      if (onMouseDown) onMouseDown();
      return 0;
    case WM_LBUTTONUP: {
      POINT p{GET_X_LPARAM(lp), GET_Y_LPARAM(lp)};
      RECT r;
      GetClientRect(hwnd(), &r);
      Release(PtInRect(&r, p) != FALSE);
      return 0;
    }
    case WM_CAPTURECHANGED:
      if (reinterpret_cast<HWND>(lp) != hwnd()) Release(false);
      return 0;
    case WM_ENABLE:
      InvalidateRect(hwnd(), nullptr, FALSE);
      return 0;
  }
  return Window::HandleMessage(msg, wp, lp);
}

}  // namespace tesmar::ui
