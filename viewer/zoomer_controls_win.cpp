#include "viewer/zoomer_controls_win.h"

#include <commctrl.h>
#include <windowsx.h>

#include "base/strings.h"
#include "ui/theme.h"

namespace tesmar {
namespace {

// Notches of a wheel message; the rest of a fine-grained wheel is kept for the next one.
int Notches(WPARAM wp, int& rest) {
  rest += GET_WHEEL_DELTA_WPARAM(wp);
  const int n = rest / WHEEL_DELTA;
  rest -= n * WHEEL_DELTA;
  return n;
}

}  // namespace

LRESULT TZoomerImage::HandleMessage(UINT msg, WPARAM wp, LPARAM lp) {
  const bool shift = (wp & MK_SHIFT) != 0;
  const int x = GET_X_LPARAM(lp), y = GET_Y_LPARAM(lp);
  auto press = [&](TMouseButton b) {
    SetCapture(hwnd());
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
      for (int n = Notches(wp, wheelRest_); n != 0; n += n > 0 ? -1 : 1)
        if (onWheel) onWheel(n < 0, screen);
      return 0;
    }
  }
  return ImageBox::HandleMessage(msg, wp, lp);
}

// ---- TSplitter

void TSplitter::Create(HWND parent, std::u16string name, int x, int y, int w, int h) {
  name_ = std::move(name);
  ui::WindowParams params;
  params.className = L"TesmarSplitter";
  params.style = WS_CHILD | WS_VISIBLE;
  params.x = x, params.y = y, params.width = w, params.height = h;
  params.parent = parent;
  params.cursor = LoadCursorW(nullptr, IDC_SIZEWE);
  params.background = ui::WindowBrush();
  ui::Window::Create(params);
}

LRESULT TSplitter::HandleMessage(UINT msg, WPARAM wp, LPARAM lp) {
  switch (msg) {
    case WM_LBUTTONDOWN:
      grab_ = GET_X_LPARAM(lp);
      SetCapture(hwnd());
      return 0;
    case WM_MOUSEMOVE:
      if (GetCapture() == hwnd() && onDrag) {
        POINT p{GET_X_LPARAM(lp), GET_Y_LPARAM(lp)};
        MapWindowPoints(hwnd(), GetParent(hwnd()), &p, 1);
        onDrag(p.x - grab_);
      }
      return 0;
    case WM_LBUTTONUP:
      if (GetCapture() == hwnd()) {
        ReleaseCapture();
        if (onMoved) onMoved();
      }
      return 0;
  }
  return ui::Window::HandleMessage(msg, wp, lp);
}

// ---- TCheckListBox

void TCheckListBox::Create(HWND parent, int id, int itemHeight) {
  hwnd_ = CreateWindowExW(0, L"LISTBOX", L"",
                          WS_CHILD | WS_VISIBLE | WS_VSCROLL | LBS_OWNERDRAWFIXED | LBS_HASSTRINGS | LBS_SORT |
                              LBS_NOTIFY | LBS_NOINTEGRALHEIGHT,
                          0, 0, 10, 10, parent, reinterpret_cast<HMENU>(INT_PTR(id)), GetModuleHandleW(nullptr), nullptr);
  if (!hwnd_) throw std::runtime_error("CreateWindowEx failed");
  SendMessageW(hwnd_, LB_SETITEMHEIGHT, 0, itemHeight);
  SetWindowSubclass(hwnd_, &TCheckListBox::Subclass, 1, reinterpret_cast<DWORD_PTR>(this));
}

std::u16string TCheckListBox::Item(int i) const {
  const int n = int(SendMessageW(hwnd_, LB_GETTEXTLEN, WPARAM(i), 0));
  if (n < 0) return {};
  std::wstring buf(std::size_t(n) + 1, L'\0');
  SendMessageW(hwnd_, LB_GETTEXT, WPARAM(i), reinterpret_cast<LPARAM>(buf.data()));
  buf.resize(std::size_t(n));
  return FromWide(buf);
}

int TCheckListBox::Add(std::u16string_view text, std::uint32_t colour) {
  const std::wstring w = ToWide(text);
  const int i = int(SendMessageW(hwnd_, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(w.c_str())));
  if (i >= 0) SendMessageW(hwnd_, LB_SETITEMDATA, WPARAM(i), LPARAM(colour & 0xFFFFFF));
  return i;
}

void TCheckListBox::SetChecked(int i, bool on) const {
  const LPARAM d = Data(i);
  SendMessageW(hwnd_, LB_SETITEMDATA, WPARAM(i), on ? (d | kCheckBit) : (d & ~LPARAM(kCheckBit)));
  RECT r;
  if (SendMessageW(hwnd_, LB_GETITEMRECT, WPARAM(i), reinterpret_cast<LPARAM>(&r)) != LB_ERR)
    InvalidateRect(hwnd_, &r, FALSE);
}

void TCheckListBox::SetRedraw(bool on) const {
  SendMessageW(hwnd_, WM_SETREDRAW, on, 0);
  if (on) InvalidateRect(hwnd_, nullptr, TRUE);
}

int TCheckListBox::CheckWidth() const { return int(SendMessageW(hwnd_, LB_GETITEMHEIGHT, 0, 0)); }

void TCheckListBox::DrawCheck(HDC dc, const RECT& item, bool checked) const {
  const int side = item.bottom - item.top;
  RECT box{item.left + 2, item.top + 2, item.left + side - 2, item.bottom - 2};
  DrawFrameControl(dc, &box, DFC_BUTTON, DFCS_BUTTONCHECK | DFCS_FLAT | (checked ? DFCS_CHECKED : 0));
}

LRESULT CALLBACK TCheckListBox::Subclass(HWND h, UINT msg, WPARAM wp, LPARAM lp, UINT_PTR, DWORD_PTR ref) {
  auto* self = reinterpret_cast<TCheckListBox*>(ref);
  switch (msg) {
    case WM_LBUTTONDOWN:
    case WM_LBUTTONDBLCLK: {
      LRESULT r = DefSubclassProc(h, msg, wp, lp);
      const LRESULT hit = SendMessageW(h, LB_ITEMFROMPOINT, 0, lp);
      const int i = LOWORD(hit);
      if (HIWORD(hit) == 0 && GET_X_LPARAM(lp) < self->CheckWidth()) self->SetChecked(i, !self->Checked(i));
      return r;
    }
    case WM_LBUTTONUP: {
      LRESULT r = DefSubclassProc(h, msg, wp, lp);
      if (self->onClick) self->onClick();
      return r;
    }
    case WM_MOUSEWHEEL: {
      const POINT screen{GET_X_LPARAM(lp), GET_Y_LPARAM(lp)};
      bool taken = false;
      for (int n = Notches(wp, self->wheelRest_); n != 0; n += n > 0 ? -1 : 1)
        if (self->onWheel) taken = self->onWheel(n < 0, screen) || taken;
      if (taken) return 0;
      break;
    }
    case WM_NCDESTROY:
      RemoveWindowSubclass(h, &TCheckListBox::Subclass, 1);
      break;
  }
  return DefSubclassProc(h, msg, wp, lp);
}

}  // namespace tesmar
