#pragma once
// The off-screen redraw that every full repaint of a drawing goes through: an 8-bit raster
// whose colour table is the AutoCAD Color Index palette, cleared to black, framed in cyan and
// drawn by the render pass.
#include <windows.h>

#include <array>
#include <cstdint>
#include <deque>
#include <memory>
#include <utility>
#include <vector>

#include "base/rgb_image.h"
#include "dxf/model.h"
#include "render/canvas.h"
#include "render/raster.h"
#include "render/render_pass.h"
#include "render/view.h"
#include "ui/gdi.h"

namespace tesmar {

inline constexpr Colour kFrameCyan = 0xFFFF00;

// The face of the raster's default font, which texts are drawn in.
inline constexpr char16_t kRasterFace[] = u"MS UI Gothic";

// An 8-bit DIB section kept selected into its own memory DC; colour table entry i is
// AciToColor(i) for 1..255 and black for 0. The DC's font is kRasterFace.
class TRaster8 {
 public:
  TRaster8(int W, int H);
  ~TRaster8();
  TRaster8(const TRaster8&) = delete;
  TRaster8& operator=(const TRaster8&) = delete;

  int Width() const { return dib_.Width(); }
  int Height() const { return dib_.Height(); }
  HDC Dc() const { return dib_.Dc(); }
  HBITMAP Bitmap() const { return dib_.Handle(); }
  // Row y (top-down) of colour-table indices; rows are Stride() bytes apart.
  const std::uint8_t* Row(int y) const { return dib_.Row(y); }
  std::uint8_t* Row(int y) { return dib_.Row(y); }
  int Stride() const { return dib_.Stride(); }
  Colour PixelColour(int x, int y) const { return dib_.Pixel(x, y); }
  // The whole raster as colours.
  RgbImage ToRgb() const;

 private:
  ui::DibBitmap dib_;
  ui::Font font_;
  HGDIOBJ oldFont_ = nullptr;
};

// The colour table of the raster.
const std::array<RGBQUAD, 256>& RasterColourTable();

// Clears (0, 0)-(W, H) to black and draws the one-pixel cyan frame along its border.
void DrawEmptyFrame(Canvas& canvas, int W, int H);

// The raster as the target of the indexed pass's own writes; the colour-table indices are those
// the platform's GDI writes, found by drawing each colour once on a small raster of its own.
class TRaster8Target : public TRasterTarget {
 public:
  explicit TRaster8Target(TRaster8& raster);
  std::uint8_t PenIndex(Colour c) override;
  std::uint8_t PixelIndex(Colour c) override;
  void Sync() override;

 private:
  std::uint8_t Probe(Colour c, bool pen);
  std::vector<std::pair<Colour, std::uint8_t>> pens_, pixels_;
};

// A fresh raster of the view's size: black, cyan frame, then RenderDrawing with no selected
// layer, background black, pen width 1, origin (W div 2, H div 2). `drawn` receives the pass's
// result when given. With an index the pass writes the one-pixel primitives into the raster
// itself (unless `direct` is false).
std::unique_ptr<TRaster8> OffscreenRedraw(TDrawingModel& m, const TView& v, int colourMode, bool drawAll, bool fast,
                                          const TRenderIndex* index = nullptr, int* drawn = nullptr,
                                          bool direct = true);

// The last few exact pictures with what they show, so that a view shown again (the whole
// drawing after a zoom out, the previous view) costs no pass over the drawing.
class TPictureCache {
 public:
  // OffscreenRedraw of view v (not fast), or the raster it made before for the same view, colour
  // mode, draw-all flag and layer visibility of the same model. The raster must not be changed.
  std::shared_ptr<const TRaster8> Redraw(TDrawingModel& m, const TView& v, int colourMode, bool drawAll,
                                         const TRenderIndex* index);
  // Forgets every picture (another model, or records changed).
  void Clear() { entries_.clear(); }

 private:
  struct Entry {
    TView view;
    int colourMode = 0;
    bool drawAll = false;
    std::vector<bool> visible;
    std::shared_ptr<const TRaster8> raster;
  };
  static constexpr std::size_t kKept = 3;
  std::deque<Entry> entries_;
};

// Makes `out` the picture of view `now` at once from `last`, the raster drawn for view `drawn`:
// the drawing inside its frame moved and scaled to where `now` shows it, the part it does not
// cover black, the cyan frame drawn anew. False (and `out` untouched) when the rasters and the
// views are not all of one size.
bool PreviewRaster(TRaster8& out, const TRaster8& last, const TView& drawn, const TView& now);

}  // namespace tesmar
