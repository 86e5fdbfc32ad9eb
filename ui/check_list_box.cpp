#include "ui/check_list_box.h"

#include <commctrl.h>
#include <windowsx.h>

#include <stdexcept>

#include "base/strings.h"

namespace tesmar::ui {

int WheelNotches(WPARAM wp, int& rest) {
  rest += GET_WHEEL_DELTA_WPARAM(wp);
  const int n = rest / WHEEL_DELTA;
  rest -= n * WHEEL_DELTA;
  return n;
}

void CheckListBox::Create(HWND parent, int id, int itemHeight) {
  hwnd_ = CreateWindowExW(0, L"LISTBOX", L"",
                          WS_CHILD | WS_VISIBLE | WS_VSCROLL | WS_TABSTOP | LBS_OWNERDRAWFIXED | LBS_HASSTRINGS |
                              LBS_SORT | LBS_NOTIFY | LBS_NOINTEGRALHEIGHT,
                          0, 0, 10, 10, parent, reinterpret_cast<HMENU>(INT_PTR(id)), GetModuleHandleW(nullptr), nullptr);
  if (!hwnd_) throw std::runtime_error("CreateWindowEx failed");
  SendMessageW(hwnd_, LB_SETITEMHEIGHT, 0, itemHeight);
  SetWindowSubclass(hwnd_, &CheckListBox::Subclass, 1, reinterpret_cast<DWORD_PTR>(this));
}

std::u16string CheckListBox::Item(int i) const {
  const int n = int(SendMessageW(hwnd_, LB_GETTEXTLEN, WPARAM(i), 0));
  if (n < 0) return {};
  std::wstring buf(std::size_t(n) + 1, L'\0');
  SendMessageW(hwnd_, LB_GETTEXT, WPARAM(i), reinterpret_cast<LPARAM>(buf.data()));
  buf.resize(std::size_t(n));
  return FromWide(buf);
}

int CheckListBox::Add(std::u16string_view text, std::uint32_t colour) {
  const std::wstring w = ToWide(text);
  const int i = int(SendMessageW(hwnd_, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(w.c_str())));
  if (i >= 0) SendMessageW(hwnd_, LB_SETITEMDATA, WPARAM(i), LPARAM(colour & 0xFFFFFF));
  return i;
}

void CheckListBox::SetChecked(int i, bool on) const {
  const LPARAM d = Data(i);
  SendMessageW(hwnd_, LB_SETITEMDATA, WPARAM(i), on ? (d | kCheckBit) : (d & ~LPARAM(kCheckBit)));
  RECT r;
  if (SendMessageW(hwnd_, LB_GETITEMRECT, WPARAM(i), reinterpret_cast<LPARAM>(&r)) != LB_ERR)
    InvalidateRect(hwnd_, &r, FALSE);
}

void CheckListBox::SetRedraw(bool on) const {
  SendMessageW(hwnd_, WM_SETREDRAW, on, 0);
  if (on) InvalidateRect(hwnd_, nullptr, TRUE);
}

int CheckListBox::CheckWidth() const { return int(SendMessageW(hwnd_, LB_GETITEMHEIGHT, 0, 0)); }

void CheckListBox::DrawCheck(HDC dc, const RECT& item, bool checked) const {
  const int side = item.bottom - item.top;
  RECT box{item.left + 2, item.top + 2, item.left + side - 2, item.bottom - 2};
  DrawFrameControl(dc, &box, DFC_BUTTON, DFCS_BUTTONCHECK | DFCS_FLAT | (checked ? DFCS_CHECKED : 0));
}

LRESULT CALLBACK CheckListBox::Subclass(HWND h, UINT msg, WPARAM wp, LPARAM lp, UINT_PTR, DWORD_PTR ref) {
  auto* self = reinterpret_cast<CheckListBox*>(ref);
  switch (msg) {
    case WM_LBUTTONDOWN: {
      SetFocus(h);
      LRESULT r = DefSubclassProc(h, msg, wp, lp);
      const LRESULT hit = SendMessageW(h, LB_ITEMFROMPOINT, 0, lp);
      const int i = LOWORD(hit);
      if (HIWORD(hit) == 0 && GET_X_LPARAM(lp) < self->CheckWidth()) self->SetChecked(i, !self->Checked(i));
      return r;
    }
    case WM_LBUTTONDBLCLK:
      // The first press of a double-click toggled and reported already; the second press
      // only selects, and its release reports nothing.
      self->secondClick_ = true;
      return DefSubclassProc(h, WM_LBUTTONDOWN, wp, lp);
    case WM_LBUTTONUP: {
      LRESULT r = DefSubclassProc(h, msg, wp, lp);
      if (self->secondClick_) {
        self->secondClick_ = false;
      } else {
        self->Clicked();
      }
      return r;
    }
    case WM_KEYDOWN: {
      if (wp == VK_SPACE) {
        const int i = self->ItemIndex();
        if (i >= 0) {
          self->SetChecked(i, !self->Checked(i));
          self->Clicked();
        }
        return 0;
      }
      switch (wp) {
        case VK_UP: case VK_DOWN: case VK_PRIOR: case VK_NEXT: case VK_END: {
          const int before = self->ItemIndex();
          LRESULT r = DefSubclassProc(h, msg, wp, lp);
          if (self->ItemIndex() != before) self->Clicked();
          return r;
        }
        default:
          if (self->onKey && self->onKey(WORD(wp))) return 0;
          break;
      }
      break;
    }
    case WM_CHAR:
      if (wp == L' ') return 0;  // Space toggles; it does not search for an item
      break;
    case WM_MOUSEWHEEL: {
      const POINT screen{GET_X_LPARAM(lp), GET_Y_LPARAM(lp)};
      bool taken = false;
      for (int n = WheelNotches(wp, self->wheelRest_); n != 0; n += n > 0 ? -1 : 1)
        if (self->onWheel) taken = self->onWheel(n < 0, screen) || taken;
      if (taken) return 0;
      break;
    }
    case WM_NCDESTROY:
      RemoveWindowSubclass(h, &CheckListBox::Subclass, 1);
      break;
  }
  return DefSubclassProc(h, msg, wp, lp);
}

}  // namespace tesmar::ui
