#pragma once
// Pictures moved and scaled at once: the last 8-bit raster of a view shown as another view of
// the same world, for the previews of a gesture while the exact picture is still to come.
#include <cstddef>
#include <cstdint>

#include "base/colour.h"
#include "render/view.h"

namespace tesmar {

// Where a pixel of one view lands in another: to = from * scale + (dx, dy), per axis.
struct TPixelMap {
  double scale = 1;
  double dx = 0, dy = 0;
};

// The map from the pixels of view `from` to those of view `to` (each pixel stands for the world
// point the render pass rounds to it).
TPixelMap PixelMapBetween(const TView& from, const TView& to);

// A rectangle of pixels [x0, x1) x [y0, y1).
struct TPixelArea {
  int x0 = 0, y0 = 0, x1 = 0, y1 = 0;
};

// Rows of 8-bit pixels, `stride` bytes apart, read or written.
template <class Byte>
struct TRasterRowsOf {
  Byte* bits = nullptr;
  int stride = 0;
  Byte* Row(int y) const { return bits + static_cast<std::ptrdiff_t>(y) * stride; }
};
using TRasterIn = TRasterRowsOf<const std::uint8_t>;
using TRasterOut = TRasterRowsOf<std::uint8_t>;

// Fills `toArea` of `to` with the pixels of `fromArea` of `from` carried by `map`, and with
// `background` where none lands. Enlarged, each pixel takes its nearest source pixel; shrunk,
// the first source pixel that is not the background wins, so that thin lines do not vanish.
// `from` and `to` must not overlap.
void ResampleRaster(TRasterIn from, TPixelArea fromArea, TRasterOut to, TPixelArea toArea,
                    const TPixelMap& map, std::uint8_t background);

// The 8-bit raster under a canvas, for a pass that writes the pixels it can name exactly
// itself (where many records fall on one pixel, a byte each in place of a canvas call each).
// The canvas must be in copy mode. `rows` cover [0, W) x [0, H).
class TRasterTarget {
 public:
  virtual ~TRasterTarget() = default;
  TRasterOut rows;
  int W = 0, H = 0;
  // The colour-table index that the canvas writes for a solid one-pixel pen of colour c, and
  // for SetPixel in colour c.
  virtual std::uint8_t PenIndex(Colour c) = 0;
  virtual std::uint8_t PixelIndex(Colour c) = 0;
  // Called before the raster is written after the canvas has drawn (the platform may hold
  // drawing back until then).
  virtual void Sync() = 0;
};

}  // namespace tesmar
