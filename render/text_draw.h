#pragma once
// Writes one TEXT, ATTRIB or MTEXT record onto a canvas with a font made for the current zoom.
#include <string_view>

#include "dxf/model.h"
#include "render/canvas.h"
#include "render/view.h"

namespace tesmar {

// The capitals are `code40` tall and the string as long as the CAD program sets it (see
// StringAdvance; aligned and fit texts fill the distance from pt10 to pt11); the baseline is
// placed by the justification (TEXT, ATTRIB) or the attachment point (MTEXT, whose lines are
// wrapped at its reference width `code41` and spaced 5/3 heights times `code44`).
// `pt10` and `pt11` relative to the view centre; `pt11Stored` as the record holds it (the
// MTEXT direction vector; without one an MTEXT turns by `code50`). A text whose cell is one
// pixel or less, a TEXT without characters and an MTEXT without lines draw nothing.
void DrawText(Canvas& canvas, TPixel origin, double s, std::u16string_view str, TAcadPoint pt10, TAcadPoint pt11,
              int code72, int code73, double code40, double code41, double code50, double code44, Colour colour,
              int code71, bool mtflag, TAcadPoint pt11Stored);

// The advance of a character in the fonts CAD programs draw with, in text heights (the height
// of the capitals) at width factor 1: narrow, ordinary and wide letters, digits, and one em
// for a full-width character. StringAdvance sums it over a string.
double CharacterAdvance(char16_t c);
double StringAdvance(std::u16string_view str);

// The cell height in pixels that DrawText uses for text height h at pixel size s.
int TextCellHeight(double h, double s);

}  // namespace tesmar
