#pragma once
// The canvas over a GDI device context. Pen and brush changes are kept and realised on the
// DC before the next primitive that uses them (one pen object per change, as the platform's
// own canvases do). `changed` runs after every drawing call so an owner can repaint; inside a
// batch it runs once, when the outermost batch ends after something was drawn.
#include <windows.h>

#include <functional>
#include <vector>

#include "render/canvas.h"
#include "ui/gdi.h"

namespace tesmar {

class GdiCanvas : public Canvas {
 public:
  explicit GdiCanvas(HDC dc);
  ~GdiCanvas() override;
  GdiCanvas(const GdiCanvas&) = delete;
  GdiCanvas& operator=(const GdiCanvas&) = delete;

  HDC Dc() const { return dc_; }
  std::function<void()> changed;
  void BeginBatch() { ++batch_; }
  void EndBatch();

  PenState Pen() const override { return pen_; }
  void SetPenColour(Colour c) override;
  void SetPenWidth(int w) override;
  void SetPenStyle(TPenStyle s) override;
  void SetPenMode(PenMode m) override;
  BrushState Brush() const override { return brush_; }
  void SetBrushStyle(BrushStyle s) override;
  void SetBrushColour(Colour c) override;

  void MoveTo(int x, int y) override;
  void LineTo(int x, int y) override;
  void SetPixel(int x, int y, Colour c) override;
  void PolyPolyline(const CanvasPoint* pts, const std::uint32_t* counts, std::size_t n) override;
  void Arc(int x1, int y1, int x2, int y2, int x3, int y3, int x4, int y4) override;
  void Rectangle(int left, int top, int right, int bottom) override;
  void FillRect(int left, int top, int right, int bottom) override;
  void FillPolyPolygon(const CanvasPoint* pts, const std::uint32_t* counts, std::size_t n) override;

  LogicalFont Font() const override;
  void PushFont(const LogicalFont& f) override;
  void PopFont() override;
  Colour FontColour() const override { return fontColour_; }
  void SetFontColour(Colour c) override { fontColour_ = c; }
  void TextOut(int x, int y, std::u16string_view text) override;
  int TextWidth(std::u16string_view text) override;
  // Measured once per face on an upright font and kept for the process.
  FaceProportions Proportions() override;

 private:
  void RealisePen();
  void RealiseBrush();
  void Changed();

  HDC dc_;
  PenState pen_;
  BrushState brush_;
  Colour fontColour_ = kBlack;
  bool penDirty_ = true, brushDirty_ = true;
  int batch_ = 0;
  bool drawnInBatch_ = false;
  ui::Pen gdiPen_;
  ui::Brush gdiBrush_;
  HGDIOBJ oldPen_ = nullptr, oldBrush_ = nullptr;
  struct PushedFont {
    ui::Font font;
    HGDIOBJ previous;
  };
  std::vector<PushedFont> fonts_;
};

}  // namespace tesmar
