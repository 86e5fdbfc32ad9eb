#pragma once
// Colours of the viewer: the AutoCAD Color Index palette, the pen styles chosen from linetype
// names, the colour modes of the render pass and the contrast colour of the layer list.
// Colours are 24-bit values 0x00BBGGRR (red in the low byte).
#include <cstdint>
#include <string_view>

#include "dxf/model.h"

namespace tesmar {

// Of the cosmetic pen styles (base/colour.h) dash (1) is never chosen.

// The palette colour of |index|: 1..255 the ACI palette, 0 and anything above 255 white.
Colour AciToColor(int index);

Colour InvertColor(Colour c);

// Pen style of a linetype name, chosen by its upper-cased prefix (CON, HID/DASHE, CEN/BOR/DASHD,
// DEV/PHA, DOT); any other name draws solid.
TPenStyle LinetypeToPenStyle(std::u16string_view name);

// Pen style of a record: an empty linetype or exactly "BYLAYER" takes the linetype of the
// record's layer (first exact name match); BYBLOCK and unknown layers draw solid.
TPenStyle ResolvePenStyle(const TDrawingModel& m, std::u16string_view ltype, std::u16string_view layer);

// Fills PenColor, PenStyle and layindex of every line, arc and circle, and PenColor and
// layindex of every text.
void AssignPens(TDrawingModel& m);

// The colour a record with pen colour `pen` is drawn in on background `bg`:
// mode 1 draws everything in the inverse of the background, mode 2 inverts the pen colours,
// every other mode keeps them; a pen equal to the background is always drawn inverted.
Colour ApplyColourMode(Colour pen, Colour bg, int mode);

// WCAG 2.0 relative luminance, 0 for black to 1 for white.
double RelativeLuminance(Colour c);

// The palette colour (indices 0..256) whose luminance differs most from c; the lowest index
// wins a tie.
Colour ContrastColor(Colour c);

}  // namespace tesmar
