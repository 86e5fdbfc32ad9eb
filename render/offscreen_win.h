#pragma once
// The off-screen redraw that every full repaint of a drawing goes through: an 8-bit raster
// whose colour table is the AutoCAD Color Index palette, cleared to black, framed in cyan and
// drawn by the render pass.
#include <windows.h>

#include <cstdint>
#include <memory>

#include "dxf/model.h"
#include "render/canvas.h"
#include "render/render_pass.h"
#include "render/view.h"
#include "ui/gdi.h"

namespace tesmar {

inline constexpr Colour kFrameCyan = 0xFFFF00;

// An 8-bit DIB section with a memory DC; colour table entry i is AciToColor(i) (0 black).
class TRaster8 {
 public:
  TRaster8(int W, int H);
  ~TRaster8();
  TRaster8(const TRaster8&) = delete;
  TRaster8& operator=(const TRaster8&) = delete;

  int Width() const { return w_; }
  int Height() const { return h_; }
  HDC Dc() const { return dc_; }
  HBITMAP Bitmap() const { return bmp_.get(); }
  // Row y (top-down) of palette indices; rows are Stride() bytes apart.
  const std::uint8_t* Row(int y) const { return bits_ + static_cast<std::ptrdiff_t>(y) * stride_; }
  int Stride() const { return stride_; }
  Colour PixelColour(int x, int y) const;

 private:
  int w_, h_, stride_ = 0;
  HDC dc_ = nullptr;
  ui::Bitmap bmp_;
  HGDIOBJ old_ = nullptr;
  std::uint8_t* bits_ = nullptr;
};

// Clears (0, 0)-(W, H) to black and draws the one-pixel cyan frame along its border.
void DrawEmptyFrame(Canvas& canvas, int W, int H);

// A fresh raster of the view's size: black, cyan frame, then RenderDrawing with no selected
// layer, background black, pen width 1, origin (W div 2, H div 2). `drawn` receives the pass's
// result when given.
std::unique_ptr<TRaster8> OffscreenRedraw(TDrawingModel& m, const TView& v, int colourMode, bool drawAll, bool fast,
                                          const TRenderIndex* index = nullptr, int* drawn = nullptr);

}  // namespace tesmar
