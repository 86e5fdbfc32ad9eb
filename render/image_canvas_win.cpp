#include "render/image_canvas_win.h"

#include <memory>

#include "render/canvas_gdi_win.h"

namespace tesmar {

Canvas& CanvasOf(ui::ImageBox& box) {
  HDC dc = box.Picture().Dc();  // makes the picture (and drops an old canvas) first
  std::shared_ptr<void>& slot = box.PictureCompanion();
  if (!slot) {
    auto canvas = std::make_shared<GdiCanvas>(dc);
    HWND self = box.hwnd();
    canvas->changed = [self] { InvalidateRect(self, nullptr, FALSE); };
    slot = canvas;
  }
  return *static_cast<GdiCanvas*>(slot.get());
}

ImagePass::ImagePass(ui::ImageBox& box, bool repaintNow) : box_(box), canvas_(CanvasOf(box)), repaintNow_(repaintNow) {
  static_cast<GdiCanvas&>(canvas_).BeginBatch();
}

ImagePass::~ImagePass() {
  static_cast<GdiCanvas&>(canvas_).EndBatch();
  if (repaintNow_) UpdateWindow(box_.hwnd());
}

}  // namespace tesmar
