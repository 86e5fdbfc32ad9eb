#pragma once
// A post-processed drawing of every drawable kind, dense enough that records overlap, fall on
// one pixel, fall outside a zoomed view and share pens: lines (solid and dotted, some of no
// length, some skipped, some repeated), circles (some below a pixel, some repeated), arcs
// (through 0 degrees, some below a degree), texts (some too small to draw, with special codes
// and Japanese characters), on the layers "0", "OFF" (switched off) and "B". Coordinates lie
// within +-60 of the origin.
#include "dxf/model.h"

namespace tesmar::test {

TDrawingModel MixedDrawing(int records, unsigned seed);

}  // namespace tesmar::test
