#pragma once
// A canvas that draws nothing and logs every call: property changes and primitives, each
// primitive with the pen and brush it was drawn with. Tests compare the log for exact pixel
// coordinates, rounding, pen changes and call order.
#include <functional>
#include <string>
#include <vector>

#include "render/canvas.h"

namespace tesmar {

struct CanvasCall {
  std::string op;               // "SetPenColour", "LineTo", "Rectangle", "TextOut", ...
  std::vector<long long> args;  // coordinates, or the new property value
  std::u16string text;          // TextOut / TextWidth text
  PenState pen;                 // pen after the call
  BrushState brush;             // brush after the call
  LogicalFont font;                // font after the call
  Colour fontColour = 0;

  // A compact text such as "LineTo(3,4)" or "SetPenColour(16777215)".
  std::string Short() const;
};

// "@colour/width/style/mode".
std::string PenSuffix(const PenState& p);

class RecordingCanvas : public Canvas {
 public:
  std::vector<CanvasCall> calls;
  // Pixel width of a text; the default counts 8 pixels per character.
  std::function<int(std::u16string_view, const LogicalFont&)> textWidth;

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

  LogicalFont Font() const override { return fonts_.back(); }
  void PushFont(const LogicalFont& f) override;
  void PopFont() override;
  Colour FontColour() const override { return fontColour_; }
  void SetFontColour(Colour c) override;
  void TextOut(int x, int y, std::u16string_view text) override;
  int TextWidth(std::u16string_view text) override;

  // The Short() texts of all calls, or of the calls whose op is in `ops` when it is given.
  std::vector<std::string> Log() const;
  std::vector<std::string> Log(const std::vector<std::string>& ops) const;
  // What was drawn, in order: every line as "Line(x1,y1,x2,y2)@pen" whether it came from
  // MoveTo/LineTo or a poly-polyline, arcs with their pen, pixels, rectangles and texts with
  // their font. Two canvases that drew the same pixels in the same order give the same list.
  std::vector<std::string> Primitives() const;
  int FontDepth() const { return static_cast<int>(fonts_.size()) - 1; }

 private:
  void Add(std::string op, std::vector<long long> args, std::u16string text = {});

  PenState pen_;
  BrushState brush_;
  std::vector<LogicalFont> fonts_{LogicalFont{}};
  Colour fontColour_ = kBlack;
};

}  // namespace tesmar
