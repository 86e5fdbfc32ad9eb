#pragma once
// The raster drawing surface that the render pass, text drawing, the preview grid and the
// viewer draw on. It mirrors the platform's GDI device context: a current pen (colour, width,
// style, mix mode), a current brush (style, colour), a current font and a current position.
// Implementations: GdiCanvas over an HDC (Windows) and RecordingCanvas (portable, for tests).
//
// Colours and pen styles are those of base/colour.h. Coordinates are pixels, y down.
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "base/colour.h"

namespace tesmar {

// Mix modes of the pen: copy, xor with the screen, not-xor, and invert the screen.
enum class PenMode : std::uint8_t { Copy, Xor, NotXor, Invert };

// A pixel of a poly-polyline; laid out as the platform's POINT.
struct CanvasPoint {
  std::int32_t x = 0;
  std::int32_t y = 0;
  bool operator==(const CanvasPoint&) const = default;
};

enum class BrushStyle : std::uint8_t { Solid, Clear };

// A logical-font description, as CreateFontIndirectW takes it.
struct LogicalFont {
  std::int32_t height = 0;       // > 0: cell height; < 0: character height
  std::int32_t width = 0;        // average character width, 0 = from the height
  std::int32_t escapement = 0;   // tenths of a degree, counter-clockwise
  std::int32_t orientation = 0;
  std::int32_t weight = 0;
  bool italic = false;
  bool underline = false;
  bool strikeOut = false;
  std::uint8_t charSet = 1;      // DEFAULT_CHARSET
  std::u16string face;           // empty: the platform's default face
  bool operator==(const LogicalFont&) const = default;
};

// The proportions of a font face, each in parts of its em (the character height): how far the
// cell reaches above and below the baseline, the height of its capitals, and the advance of
// its half-width (single-byte) characters against the average width that a logical font's
// `width` asks for.
struct FaceProportions {
  double ascent = 0.88;
  double descent = 0.12;
  double capHeight = 0.72;
  double halfAdvancePerAverage = 1.0;
};

// The pen and brush as they stand.
struct PenState {
  Colour colour = kBlack;
  int width = 1;
  TPenStyle style = 0;
  PenMode mode = PenMode::Copy;
  bool operator==(const PenState&) const = default;
};
struct BrushState {
  BrushStyle style = BrushStyle::Solid;
  Colour colour = kWhite;
  bool operator==(const BrushState&) const = default;
};

class Canvas {
 public:
  virtual ~Canvas() = default;

  // Pen and brush. Setting a property to its current value is allowed and changes nothing;
  // callers that must not pay for it compare with Pen() / Brush() first.
  virtual PenState Pen() const = 0;
  virtual void SetPenColour(Colour c) = 0;
  virtual void SetPenWidth(int w) = 0;
  virtual void SetPenStyle(TPenStyle s) = 0;
  virtual void SetPenMode(PenMode m) = 0;
  virtual BrushState Brush() const = 0;
  virtual void SetBrushStyle(BrushStyle s) = 0;
  virtual void SetBrushColour(Colour c) = 0;

  // Drawing. LineTo draws from the current position and excludes its last pixel.
  virtual void MoveTo(int x, int y) = 0;
  virtual void LineTo(int x, int y) = 0;
  virtual void SetPixel(int x, int y, Colour c) = 0;
  // `n` polylines one after another, polyline i of counts[i] points taken in turn from `pts`;
  // the same pixels as MoveTo to its first point and LineTo to each further one. The current
  // position is left where it was.
  virtual void PolyPolyline(const CanvasPoint* pts, const std::uint32_t* counts, std::size_t n) = 0;
  // Elliptic arc inside the bounding box (x1, y1)-(x2, y2), from the ray through (x3, y3) to
  // the ray through (x4, y4), counter-clockwise on the screen; equal rays give a full ellipse.
  virtual void Arc(int x1, int y1, int x2, int y2, int x3, int y3, int x4, int y4) = 0;
  // Filled with the brush and outlined with the pen; right and bottom are exclusive.
  virtual void Rectangle(int left, int top, int right, int bottom) = 0;
  // Filled with the brush only; right and bottom are exclusive.
  virtual void FillRect(int left, int top, int right, int bottom) = 0;
  // `n` closed polygons, polygon i of counts[i] points taken in turn from `pts`, filled together
  // with the brush by the even-odd rule (a polygon inside another is a hole); no outline.
  virtual void FillPolyPolygon(const CanvasPoint* pts, const std::uint32_t* counts, std::size_t n) = 0;

  // Text. TextOut writes at the top-left corner of the text cell, rotated by the font's
  // escapement about that point, in the font colour; with a clear brush it has no background.
  virtual LogicalFont Font() const = 0;
  // Creates the font, selects it; PopFont selects the previous one again and deletes it.
  virtual void PushFont(const LogicalFont& f) = 0;
  virtual void PopFont() = 0;
  virtual Colour FontColour() const = 0;
  virtual void SetFontColour(Colour c) = 0;
  virtual void TextOut(int x, int y, std::u16string_view text) = 0;
  virtual int TextWidth(std::u16string_view text) = 0;
  // The proportions of the current font's face. A canvas that cannot measure them answers
  // the generic ones above.
  virtual FaceProportions Proportions() { return FaceProportions{}; }
};

// Selects a font for one scope.
class ScopedFont {
 public:
  ScopedFont(Canvas& c, const LogicalFont& f) : canvas_(c) { canvas_.PushFont(f); }
  ~ScopedFont() { canvas_.PopFont(); }
  ScopedFont(const ScopedFont&) = delete;
  ScopedFont& operator=(const ScopedFont&) = delete;

 private:
  Canvas& canvas_;
};

}  // namespace tesmar
