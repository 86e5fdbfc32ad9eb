#pragma once
// A list box with a check box in front of each item. The items are painted by the owner
// (WM_DRAWITEM reaches the owner form); each item carries a colour and its check mark.
// A click or a key that changes the list reports it once through onClick: a press on an
// item's box toggles its mark (a double-click counts as one click), Space toggles the mark of
// the selected item, and the arrow keys, End and the page keys move the selection; Home is
// left to the owner (onKey).
#include <windows.h>

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>

#include "ui/controls.h"

namespace tesmar::ui {

// Whole notches of a wheel message; the rest of a fine-grained wheel is kept for the next one.
int WheelNotches(WPARAM wp, int& rest);

class CheckListBox : public Control {
 public:
  // A sorted, owner-drawn list with fixed item height, as a child of `parent`.
  void Create(HWND parent, int id, int itemHeight);
  int Count() const { return int(SendMessageW(hwnd_, LB_GETCOUNT, 0, 0)); }
  std::u16string Item(int i) const;
  // Adds an item (the list puts it in its sorted place); returns its index.
  int Add(std::u16string_view text, std::uint32_t colour);
  void Clear() const { SendMessageW(hwnd_, LB_RESETCONTENT, 0, 0); }
  std::uint32_t Colour(int i) const { return std::uint32_t(Data(i) & 0xFFFFFF); }
  bool Checked(int i) const { return (Data(i) & kCheckBit) != 0; }
  void SetChecked(int i, bool on) const;
  int ItemIndex() const { return int(SendMessageW(hwnd_, LB_GETCURSEL, 0, 0)); }
  void SetItemIndex(int i) const { SendMessageW(hwnd_, LB_SETCURSEL, WPARAM(i), 0); }
  void SetRedraw(bool on) const;
  // The width of the check box in front of the text.
  int CheckWidth() const;
  // Paints the check box of an item; the owner paints the rest.
  void DrawCheck(HDC dc, const RECT& item, bool checked) const;

  // The list changed by a click or a key (see above).
  std::function<void()> onClick;
  // The wheel over the list, before the list scrolls; true when taken.
  std::function<bool(bool down, POINT screen)> onWheel;
  // Any other key pressed in the list, before the list sees it; true when taken.
  std::function<bool(WORD key)> onKey;

 private:
  static constexpr std::uint32_t kCheckBit = 0x1000000;
  LPARAM Data(int i) const { return LPARAM(SendMessageW(hwnd_, LB_GETITEMDATA, WPARAM(i), 0)); }
  void Clicked() const {
    if (onClick) onClick();
  }
  static LRESULT CALLBACK Subclass(HWND h, UINT msg, WPARAM wp, LPARAM lp, UINT_PTR id, DWORD_PTR self);
  int wheelRest_ = 0;
  bool secondClick_ = false;  // the release after a double-click reports nothing
};

}  // namespace tesmar::ui
