// Handlers of the main window for dragging a drawing out of a cell into another program: the
// left button pressed on a cell that shows a drawing and moved past the system's drag
// distance starts an OLE drag of the file (app/file_drag_win.h). A click, a double-click and
// the hover go on as before.
#include <windows.h>

#include <cstdlib>
#include <exception>

#include "app/file_drag_win.h"
#include "app/main_form_win.h"
#include "base/path_parts.h"
#include "ui/gdi.h"

namespace tesmar {
namespace {

// A copy of the cell's picture for the drag image (the helper takes it); none when the
// platform refuses the bitmap.
HBITMAP CopyPicture(ui::ImageBox& cell, SIZE& size) {
  if (!cell.HasPicture()) return nullptr;
  const ui::DibBitmap& pic = cell.Picture();
  try {
    ui::DibBitmap copy(pic.Width(), pic.Height(), 32);
    BitBlt(copy.Dc(), 0, 0, pic.Width(), pic.Height(), pic.Dc(), 0, 0, SRCCOPY);
    size = SIZE{pic.Width(), pic.Height()};
    return copy.Release();
  } catch (const std::exception&) {
    return nullptr;
  }
}

}  // namespace

void TTesmarMainForm::Image1MouseDown(ui::ImageBox& Sender, int X, int Y) {
  pressedCell_ = &Sender;
  pressedAt_ = POINT{X, Y};
  // The moves go on arriving at the cell when a quick hand leaves it before the drag distance.
  SetCapture(Sender.hwnd());
}

void TTesmarMainForm::Image1MouseUp(ui::ImageBox& Sender) {
  pressedCell_ = nullptr;
  if (GetCapture() == Sender.hwnd()) ReleaseCapture();
}

bool TTesmarMainForm::DragCheck(ui::ImageBox& cell, int x, int y) {
  if (!pressedCell_) return false;
  if (pressedCell_ != &cell || !(cell.MouseKeys() & MK_LBUTTON)) {
    pressedCell_ = nullptr;  // the button came up elsewhere
    if (GetCapture() == cell.hwnd()) ReleaseCapture();
    return false;
  }
  if (std::abs(x - pressedAt_.x) <= GetSystemMetrics(SM_CXDRAG) && std::abs(y - pressedAt_.y) <= GetSystemMetrics(SM_CYDRAG))
    return false;
  pressedCell_ = nullptr;
  if (GetCapture() == cell.hwnd()) ReleaseCapture();
  int index = -1;
  for (int i = 0; i < kCells; ++i)
    if (ImgAry[i] == &cell) index = i;
  const std::u16string* name = index >= 0 && !cell.Hint().empty() ? grid.DrawingOfCell(index) : nullptr;
  if (!name) return false;
  StopPaging();
  DragDrawing(cell, JoinPath(g_dxfPath, *name));
  return true;
}

DWORD TTesmarMainForm::DragDrawing(ui::ImageBox& cell, const std::u16string& path) {
  ++dragsStarted_;
  SIZE size{};
  HBITMAP image = CopyPicture(cell, size);
  return DragFile(path, image, size);
}

}  // namespace tesmar
