#pragma once
// Thin wrappers over the standard controls: small inline members over SendMessage, with the
// platform's quirks noted beside them. The wrappers do not own their window (the parent
// destroys its children); tests read the controls back through the same members.
#include <windows.h>
#include <commctrl.h>

#include <string>
#include <string_view>
#include <vector>

#include "base/strings.h"

namespace tesmar::ui {

std::u16string WindowText(HWND hwnd);

class Control {
 public:
  Control() = default;
  explicit Control(HWND hwnd) : hwnd_(hwnd) {}
  HWND hwnd() const { return hwnd_; }
  void Attach(HWND hwnd) { hwnd_ = hwnd; }

  std::u16string Text() const { return WindowText(hwnd_); }
  void SetText(std::u16string_view text) const { SetWindowTextW(hwnd_, ToWide(text).c_str()); }
  bool Enabled() const { return IsWindowEnabled(hwnd_); }
  void SetEnabled(bool on) const { EnableWindow(hwnd_, on); }
  bool Visible() const { return IsWindowVisible(hwnd_); }
  void SetVisible(bool on) const { ShowWindow(hwnd_, on ? SW_SHOWNA : SW_HIDE); }
  // Position and size in the parent's client coordinates.
  RECT Bounds() const;
  int Left() const { return Bounds().left; }
  int Top() const { return Bounds().top; }
  int Width() const;
  int Height() const;
  void SetBounds(int x, int y, int w, int h) const { MoveWindow(hwnd_, x, y, w, h, TRUE); }
  void SetFont(HFONT font) const { SendMessageW(hwnd_, WM_SETFONT, reinterpret_cast<WPARAM>(font), TRUE); }
  HFONT Font() const { return reinterpret_cast<HFONT>(SendMessageW(hwnd_, WM_GETFONT, 0, 0)); }
  void Invalidate() const { InvalidateRect(hwnd_, nullptr, TRUE); }
  void Repaint() const { RedrawWindow(hwnd_, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW | RDW_ALLCHILDREN); }

 protected:
  HWND hwnd_ = nullptr;
};

// A drop-down list. With CBS_SORT the control keeps the list sorted itself (ignoring letter
// case); Add returns the index where the entry landed.
class ComboBox : public Control {
 public:
  using Control::Control;
  int Count() const { return static_cast<int>(SendMessageW(hwnd_, CB_GETCOUNT, 0, 0)); }
  std::u16string Item(int i) const;
  std::vector<std::u16string> Items() const;
  int ItemIndex() const { return static_cast<int>(SendMessageW(hwnd_, CB_GETCURSEL, 0, 0)); }
  // -1 selects nothing, which also empties the text of a list-only box. Sends no notification.
  void SetItemIndex(int i) const { SendMessageW(hwnd_, CB_SETCURSEL, static_cast<WPARAM>(i), 0); }
  int Add(std::u16string_view s) const {
    return static_cast<int>(SendMessageW(hwnd_, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(ToWide(s).c_str())));
  }
  void Delete(int i) const { SendMessageW(hwnd_, CB_DELETESTRING, static_cast<WPARAM>(i), 0); }
  void Clear() const { SendMessageW(hwnd_, CB_RESETCONTENT, 0, 0); }
  // The exact-match search of the control: whole entries, ignoring letter case; -1 when none.
  // The search starts after the index given, so -1 searches from the top.
  int FindExact(std::u16string_view s) const {
    return static_cast<int>(
        SendMessageW(hwnd_, CB_FINDSTRINGEXACT, static_cast<WPARAM>(-1), reinterpret_cast<LPARAM>(ToWide(s).c_str())));
  }
  // The platform never makes the dropped part narrower than the control.
  void SetDroppedWidth(int w) const { SendMessageW(hwnd_, CB_SETDROPPEDWIDTH, static_cast<WPARAM>(w), 0); }
  int DroppedWidth() const { return static_cast<int>(SendMessageW(hwnd_, CB_GETDROPPEDWIDTH, 0, 0)); }
  bool DroppedDown() const { return SendMessageW(hwnd_, CB_GETDROPPEDSTATE, 0, 0) != 0; }
  void SetDroppedDown(bool on) const { SendMessageW(hwnd_, CB_SHOWDROPDOWN, on, 0); }
  // Rows shown when dropped (common controls 6).
  void SetDropDownCount(int rows) const { SendMessageW(hwnd_, CB_SETMINVISIBLE, static_cast<WPARAM>(rows), 0); }
  int DropDownCount() const { return static_cast<int>(SendMessageW(hwnd_, CB_GETMINVISIBLE, 0, 0)); }
};

class Edit : public Control {
 public:
  using Control::Control;
  bool ReadOnly() const { return (GetWindowLongW(hwnd_, GWL_STYLE) & ES_READONLY) != 0; }
};

class Label : public Control {
 public:
  using Control::Control;
};

// A check box whose state the program sets (BS_CHECKBOX): setting it sends no notification.
class CheckBox : public Control {
 public:
  using Control::Control;
  bool Checked() const { return SendMessageW(hwnd_, BM_GETCHECK, 0, 0) == BST_CHECKED; }
  void SetChecked(bool on) const { SendMessageW(hwnd_, BM_SETCHECK, on ? BST_CHECKED : BST_UNCHECKED, 0); }
};

// A timer of a window: WM_TIMER with this id reaches the owner's router while enabled.
class Timer {
 public:
  Timer(UINT_PTR id, UINT interval) : id_(id), interval_(interval) {}
  ~Timer() { SetEnabled(false); }
  Timer(const Timer&) = delete;
  Timer& operator=(const Timer&) = delete;
  void SetOwner(HWND owner) { owner_ = owner; }
  UINT_PTR Id() const { return id_; }
  UINT Interval() const { return interval_; }
  bool Enabled() const { return enabled_; }
  void SetEnabled(bool on);

 private:
  HWND owner_ = nullptr;
  UINT_PTR id_;
  UINT interval_;
  bool enabled_ = false;
};

// One item of a menu, addressed by its menu and position (so sub-menu items work too).
class MenuItem {
 public:
  MenuItem() = default;
  MenuItem(std::u16string name, HMENU menu, UINT position, UINT id)
      : name_(std::move(name)), menu_(menu), position_(position), id_(id) {}
  const std::u16string& Name() const { return name_; }
  UINT Id() const { return id_; }
  HMENU Menu() const { return menu_; }
  std::u16string Caption() const;
  void SetCaption(std::u16string_view caption) const;
  bool Checked() const;
  void SetChecked(bool on) const;
  bool IsSeparator() const;
  bool Enabled() const;
  void SetEnabled(bool on) const;  // greyed when off
  HMENU SubMenu() const { return GetSubMenu(menu_, static_cast<int>(position_)); }

 private:
  std::u16string name_;
  HMENU menu_ = nullptr;
  UINT position_ = 0;
  UINT id_ = 0;
};

// A pop-up menu handle, destroyed with its sub-menus at the end.
class PopupMenu {
 public:
  PopupMenu() : menu_(CreatePopupMenu()) {}
  ~PopupMenu() {
    if (menu_) DestroyMenu(menu_);
  }
  PopupMenu(const PopupMenu&) = delete;
  PopupMenu& operator=(const PopupMenu&) = delete;
  HMENU get() const { return menu_; }
  // Shows the menu at a screen point; the chosen item arrives as WM_COMMAND at the owner.
  void Popup(HWND owner, int x, int y) const;

 private:
  HMENU menu_;
};

}  // namespace tesmar::ui
