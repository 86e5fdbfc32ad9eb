#include "render/offscreen_win.h"

#include <stdexcept>

namespace tesmar {

TRaster8::TRaster8(int W, int H) : w_(W), h_(H) {}
TRaster8::~TRaster8() = default;
Colour TRaster8::PixelColour(int, int) const { return 0; }
void DrawEmptyFrame(Canvas&, int, int) {}
std::unique_ptr<TRaster8> OffscreenRedraw(TDrawingModel&, const TView& v, int, bool, bool, const TRenderIndex*, int*) {
  return std::make_unique<TRaster8>(v.W, v.H);
}

}  // namespace tesmar
