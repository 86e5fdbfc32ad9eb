#pragma once
// Writes one TEXT, ATTRIB or MTEXT record onto a canvas with a font made for the current zoom.
#include <string_view>

#include "dxf/model.h"
#include "render/canvas.h"
#include "render/view.h"

namespace tesmar {

// `pt10` and `pt11` relative to the view centre; `pt11Stored` as the record holds it (the
// MTEXT direction vector). A text whose cell is one pixel or less, a fit text without bytes in
// code page 932 and an MTEXT without lines draw nothing.
void DrawText(Canvas& canvas, TPixel origin, double s, std::u16string_view str, TAcadPoint pt10, TAcadPoint pt11,
              int code72, int code73, double code40, double code41, double code50, double code44, Colour colour,
              int code71, bool mtflag, TAcadPoint pt11Stored);

// The cell height in pixels that DrawText uses for text height h at pixel size s.
int TextCellHeight(double h, double s);

}  // namespace tesmar
