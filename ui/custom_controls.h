#pragma once
// The program's own painted controls: a panel with a bevel, a shape, an image box holding a
// picture, and a flat button that reports mouse-down and mouse-up. They are
// windows of the program (one trampoline, one router each) and follow the theme's colours.
// Their events are named callbacks that the owning form connects to its handlers.
#include <windows.h>

#include <functional>
#include <memory>
#include <optional>
#include <string>

#include "ui/controls.h"
#include "ui/gdi.h"
#include "ui/window.h"

namespace tesmar::ui {

// A child window with a name (as the form names it) and the Control members.
class NamedChild : public Window {
 public:
  const std::u16string& Name() const { return name_; }
  Control AsControl() const { return Control(hwnd()); }
  int Width() const { return AsControl().Width(); }
  int Height() const { return AsControl().Height(); }
  void SetBounds(int x, int y, int w, int h) const { AsControl().SetBounds(x, y, w, h); }

 protected:
  void CreateChild(const wchar_t* cls, HWND parent, std::u16string name, std::u16string caption, int x, int y,
                   int w, int h, UINT_PTR id, DWORD extraStyle = 0);
  // Messages that a container passes up to its parent: commands, notifications and colours.
  static bool ForwardsToParent(UINT msg);
  std::u16string name_;
};

// A panel: background colour, optional raised outer bevel, caption hidden or centred.
class Panel : public NamedChild {
 public:
  void Create(HWND parent, std::u16string name, int x, int y, int w, int h);
  bool BevelRaised() const { return bevelRaised_; }
  void SetBevelRaised(bool on);
  bool ShowCaption() const { return showCaption_; }
  void SetShowCaption(bool on);
  // The background colour; nothing follows the theme.
  void SetColour(std::optional<COLORREF> c);

 protected:
  LRESULT HandleMessage(UINT msg, WPARAM wp, LPARAM lp) override;

 private:
  bool bevelRaised_ = false;
  bool showCaption_ = true;
  std::optional<COLORREF> colour_;
};

// A filled rectangle outlined with its pen colour.
class Shape : public NamedChild {
 public:
  void Create(HWND parent, std::u16string name, int x, int y, int w, int h, COLORREF colour);
  COLORREF BrushColour() const { return brush_; }
  COLORREF PenColour() const { return pen_; }
  // Sets brush and pen and repaints at once.
  void SetColour(COLORREF c);

 protected:
  LRESULT HandleMessage(UINT msg, WPARAM wp, LPARAM lp) override;

 private:
  COLORREF brush_ = 0, pen_ = 0;
};

// An image box: a picture (a bitmap) shown in the box, stretched to it when
// Stretch is on, else at its own size, centred when Center is on.
class ImageBox : public NamedChild {
 public:
  void Create(HWND parent, std::u16string name, int x, int y, int w, int h, UINT_PTR id);
  const std::u16string& Hint() const { return hint_; }
  void SetHint(std::u16string h) { hint_ = std::move(h); }
  bool stretch = false, center = false, proportional = false;

  // The picture; made at the box's size when first asked for.
  DibBitmap& Picture();
  bool HasPicture() const { return picture_ != nullptr; }
  // Replaces the picture by a new one of the given size (black).
  DibBitmap& NewPicture(int w, int h);
  // What an owner keeps with the picture (a canvas drawing on its DC); dropped when the
  // picture is replaced.
  std::shared_ptr<void>& PictureCompanion() { return companion_; }

  std::function<void(ImageBox& sender, int x, int y)> onMouseMove;
  std::function<void(ImageBox& sender)> onDblClick;
  // The left button went down (not as a double-click) and came up again.
  std::function<void(ImageBox& sender, int x, int y)> onMouseDown;
  std::function<void(ImageBox& sender)> onMouseUp;
  // The buttons and keys held at the last mouse move (MK_LBUTTON, ...).
  WPARAM MouseKeys() const { return mouseKeys_; }
  // A frame of the given colour drawn over the picture's edge (the selection), or none.
  std::optional<COLORREF> Frame() const { return frame_; }
  void SetFrame(std::optional<COLORREF> colour);

 protected:
  LRESULT HandleMessage(UINT msg, WPARAM wp, LPARAM lp) override;

 private:
  void Paint(HDC dc);
  void PaintFrame(HDC dc, const RECT& r) const;
  std::u16string hint_;
  WPARAM mouseKeys_ = 0;
  std::optional<COLORREF> frame_;
  std::unique_ptr<DibBitmap> picture_;
  std::shared_ptr<void> companion_;
};

// A flat button. Mouse-down and mouse-up are reported as such (for auto-repeat); a release
// over the button is also a click. Losing the mouse capture counts as a release.
class FlatButton : public NamedChild {
 public:
  void Create(HWND parent, std::u16string name, std::u16string caption, int x, int y, int w, int h, UINT_PTR id);
  std::u16string Caption() const { return WindowText(hwnd()); }
  bool Pressed() const { return pressed_; }

  std::function<void()> onMouseDown, onMouseUp, onClick;

 protected:
  LRESULT HandleMessage(UINT msg, WPARAM wp, LPARAM lp) override;

 private:
  void Release(bool click);
  bool pressed_ = false;
  HFONT font_ = nullptr;
};

}  // namespace tesmar::ui
