#pragma once
// The controls of the viewer that the standard set lacks: the image box that reports every
// mouse button with the Shift state, the splitter, and the check list box whose items carry a
// colour and a check mark.
#include <windows.h>

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>

#include "ui/controls.h"
#include "ui/custom_controls.h"

namespace tesmar {

enum class TMouseButton { Left, Right, Middle };

// The image box of the viewer. The pointer is captured between a press and its release, so the
// release arrives even outside the box.
class TZoomerImage : public ui::ImageBox {
 public:
  std::function<void(TMouseButton, bool shift, int x, int y)> onMouseDown, onMouseUp;
  std::function<void(bool shift, int x, int y)> onMouseMoveShift;
  // The wheel in screen coordinates; one call per notch, towards the user when `down`.
  std::function<void(bool down, POINT screen)> onWheel;

 protected:
  LRESULT HandleMessage(UINT msg, WPARAM wp, LPARAM lp) override;

 private:
  int wheelRest_ = 0;  // the part of a fine-grained wheel turn not yet a notch
};

// A vertical splitter bar: dragging it moves the edge between the controls on its left and
// right. `onDrag` gets the new x of the bar in the parent while dragging; `onMoved` runs when
// the drag ends.
class TSplitter : public ui::NamedChild {
 public:
  void Create(HWND parent, std::u16string name, int x, int y, int w, int h);
  std::function<void(int x)> onDrag;
  std::function<void()> onMoved;

 protected:
  LRESULT HandleMessage(UINT msg, WPARAM wp, LPARAM lp) override;

 private:
  int grab_ = 0;  // where in the bar it was grabbed
};

// A list box with a check box in front of each item. The items are painted by the owner
// (WM_DRAWITEM reaches the owner form); each item carries a colour and its check mark.
class TCheckListBox : public ui::Control {
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

  // A click: the press toggles the check mark when it hits the box, the release reports it.
  std::function<void()> onClick;
  // The wheel over the list, before the list scrolls; true when taken.
  std::function<bool(bool down, POINT screen)> onWheel;

 private:
  static constexpr std::uint32_t kCheckBit = 0x1000000;
  LPARAM Data(int i) const { return LPARAM(SendMessageW(hwnd_, LB_GETITEMDATA, WPARAM(i), 0)); }
  static LRESULT CALLBACK Subclass(HWND h, UINT msg, WPARAM wp, LPARAM lp, UINT_PTR id, DWORD_PTR self);
  int wheelRest_ = 0;
};

}  // namespace tesmar
