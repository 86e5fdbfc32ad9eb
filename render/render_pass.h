#pragma once
// The render pass: draws FillAry, LineAry, CircleAry, ArcAry, XlineAry and TextAry of a
// post-processed model onto a canvas as a top view (z ignored), in that order, and the two
// primitives the viewer also uses to highlight what it picks.
#include <climits>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "dxf/model.h"
#include "render/canvas.h"
#include "render/geometry.h"
#include "render/raster.h"
#include "render/view.h"
#include "render/work_budget.h"

namespace tesmar {

// Bounding boxes of the drawable records (one per record of LineAry, CircleAry, ArcAry and
// TextAry, in table order), rounded outwards to floats: a box that misses the view rectangle
// proves the record's in-view test false, a box inside it proves it true.
class TRenderIndex {
 public:
  struct Box {
    float minx, miny, maxx, maxy;
  };
  std::vector<Box> lines, circles, arcs, texts, fills;
  // The layer index of each line, or kNeverDrawn for a line that no pass draws (code60 or
  // code67 set): a line whose box falls on one pixel is passed over without being read.
  static constexpr std::int32_t kNeverDrawn = INT32_MIN;
  std::vector<std::int32_t> lineLayers;
};

// The arguments of one pass. `selectedLayer` empty (std::nullopt) draws by visibility and view;
// a layer name draws exactly the records of that layer, wherever they are.
struct TRenderArgs {
  std::optional<std::u16string> selectedLayer;
  TAcadPoint centre;
  double width = 0;
  double height = 0;
  Colour background = kBlack;
  int penWidth = 1;
  TPixel origin;
  int W = 0;
  int H = 0;
  double dispScale = 1;
  int colourMode = 0;
  bool drawAll = false;
  bool fast = false;  // every second line, circle and arc, no texts
  // The raster under the canvas, when the indexed pass may write one-pixel primitives into it
  // itself (the canvas in copy mode, pen width 1); the pixels stay those of the plain pass.
  TRasterTarget* raster = nullptr;
};

// The arguments for a view with the usual origin (W div 2, H div 2).
TRenderArgs RenderArgsFor(const TView& v, int colourMode, bool drawAll, bool fast);

// Draws the model; returns the number of records drawn. Arcs whose start angle exceeds the end
// get 360 added to `ed` in the model itself. With `index` (built by BuildRenderIndex after the
// post-processing, for this model) records outside the view are passed over without being
// looked at, records that come to nothing on the screen cost no canvas call, and lines of one
// pen go to the canvas in one poly-polyline call; the pixels are those of the plain pass.
int RenderDrawing(TDrawingModel& m, Canvas& canvas, const TRenderArgs& a, const TRenderIndex* index = nullptr);

// Primitives; p, q and c are relative to the view centre; angles in radians. Pen width, colour
// and style are set only when they differ from the canvas's current pen.
void DrawSegment(Canvas& canvas, TPixel origin, double s, TAcadPoint p, TAcadPoint q, Colour colour, int width,
                 TPenStyle style);
// Counter-clockwise from a0 to a1; a0 = a1 draws the full circle; a radius under half a pixel
// sets the pixel at the centre.
void DrawArc(Canvas& canvas, TPixel origin, double s, TAcadPoint c, double r, double a0, double a1, Colour colour,
             int width, TPenStyle style);

// A fill in `colour` (the brush is set for it and put back after); its points are world
// points, `centre` the view centre; W and H the image size.
void DrawFill(Canvas& canvas, TPixel origin, double s, int W, int H, const TFillBlk& f, TAcadPoint centre,
              Colour colour);
// The part of an infinite line inside r, from a to b; false when it misses r.
bool XlineSegment(const TXlineBlk& x, const TBox& r, TAcadPoint& a, TAcadPoint& b);

// In-view tests against the view rectangle r.
bool FillInView(const TFillBlk& f, const TBox& r);
bool LineInView(const TAcadLineBlk& l, const TBox& r);
bool CircleInView(const TCircleBlk& c, const TBox& r);
bool ArcInView(const TArcBlk& a, const TBox& r);
bool TextInView(const TTextBlk& t, const TBox& r);
// Each box walked as the closed path left side, diagonal, right side, other diagonal; true when
// a segment of a's path strictly crosses one of b's.
bool BoxPathsCross(const TBox& a, const TBox& b);

// Bounding boxes of the drawable records, built once after the post-processing so that a pass
// over a small view visits only the records near it (still in table order). Valid while the
// geometry, layer indices and code60/code67 of LineAry, CircleAry, ArcAry and TextAry are
// unchanged; layer visibility, colours and the colour mode may change freely.
// `stop` is asked every so many records; when it says stop, TPostStopped is thrown.
std::unique_ptr<TRenderIndex> BuildRenderIndex(const TDrawingModel& m);
std::unique_ptr<TRenderIndex> BuildRenderIndex(const TDrawingModel& m, const TStopCheck& stop);

}  // namespace tesmar
