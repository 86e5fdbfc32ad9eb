#include "render/text_draw.h"

namespace tesmar {

void DrawText(Canvas&, TPixel, double, std::u16string_view, TAcadPoint, TAcadPoint, int, int, double, double, double,
              double, Colour, int, bool, TAcadPoint) {}
int TextCellHeight(double, double) { return 0; }

}  // namespace tesmar
