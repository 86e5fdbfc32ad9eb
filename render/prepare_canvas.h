#pragma once
#include "render/canvas.h"

namespace tesmar {

// Clears the area (0, 0)-(W, H) of the canvas to `colour`: the brush becomes solid in that
// colour and the rectangle is filled and outlined in copy mode, whatever mode the pen was
// in. Afterwards the pen is white and in copy mode; its width and style are unchanged. Each
// property is set only when it differs from its current value.
void PrepareCanvas(Canvas& canvas, int W, int H, Colour colour);

}  // namespace tesmar
