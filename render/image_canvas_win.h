#pragma once
// The canvas of an image box's picture: drawing on it repaints the box.
#include <windows.h>  // before the canvas, which names TextOut

#include "render/canvas.h"
#include "ui/custom_controls.h"

namespace tesmar {

// Made on first use and kept with the picture; a new picture gets a new canvas.
Canvas& CanvasOf(ui::ImageBox& box);

// One drawing pass on an image box's canvas: the box is invalidated once, when the pass ends,
// however many primitives it drew (and repainted at once when asked).
class ImagePass {
 public:
  explicit ImagePass(ui::ImageBox& box, bool repaintNow = false);
  ~ImagePass();
  ImagePass(const ImagePass&) = delete;
  ImagePass& operator=(const ImagePass&) = delete;
  Canvas& canvas() { return canvas_; }

 private:
  ui::ImageBox& box_;
  Canvas& canvas_;
  bool repaintNow_;
};

}  // namespace tesmar
