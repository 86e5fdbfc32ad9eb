#pragma once
// The canvas of an image box's picture: drawing on it repaints the box.
#include <windows.h>  // before the canvas, which names TextOut

#include "render/canvas.h"
#include "ui/custom_controls.h"

namespace tesmar {

// Made on first use and kept with the picture; a new picture gets a new canvas.
Canvas& CanvasOf(ui::ImageBox& box);

}  // namespace tesmar
