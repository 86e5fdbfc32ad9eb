#pragma once
// Colours and pen styles as the drawing records, the render pass and the canvases use them.
// (Rasters of previews use Rgb of base/rgb_image.h, whose byte order is the other way round.)
#include <cstdint>

namespace tesmar {

// A 24-bit colour 0x00BBGGRR: red in the low byte, the platform's COLORREF order.
using Colour = std::uint32_t;
constexpr Colour MakeColour(unsigned r, unsigned g, unsigned b) {
  return Colour(r & 0xFF) | (Colour(g & 0xFF) << 8) | (Colour(b & 0xFF) << 16);
}
inline constexpr Colour kWhite = 0xFFFFFF;
inline constexpr Colour kBlack = 0x000000;

// A cosmetic pen style by the platform's number, as records store it and canvases take it.
using TPenStyle = std::int32_t;
inline constexpr TPenStyle psSolid = 0;
inline constexpr TPenStyle psDash = 1;
inline constexpr TPenStyle psDot = 2;
inline constexpr TPenStyle psDashDot = 3;
inline constexpr TPenStyle psDashDotDot = 4;

}  // namespace tesmar
