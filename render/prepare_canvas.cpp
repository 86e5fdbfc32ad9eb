#include "render/prepare_canvas.h"

namespace tesmar {

void PrepareCanvas(Canvas& canvas, int W, int H, Colour colour) {
  if (canvas.Brush().style != BrushStyle::Solid) canvas.SetBrushStyle(BrushStyle::Solid);
  if (canvas.Brush().colour != colour) canvas.SetBrushColour(colour);
  if (canvas.Pen().colour != colour) canvas.SetPenColour(colour);
  if (canvas.Pen().mode != PenMode::Copy) canvas.SetPenMode(PenMode::Copy);
  canvas.Rectangle(0, 0, W, H);
  if (canvas.Pen().colour != kWhite) canvas.SetPenColour(kWhite);
}

}  // namespace tesmar
