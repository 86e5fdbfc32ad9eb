#include "render/render_pass.h"

namespace tesmar {

class TRenderIndex {};

TRenderArgs RenderArgsFor(const TView& v, int colourMode, bool drawAll, bool fast) {
  TRenderArgs a;
  a.centre = v.g_cadpt;
  a.width = v.g_cadw;
  a.height = v.g_cadh;
  a.origin = v.Origin();
  a.W = v.W;
  a.H = v.H;
  a.dispScale = v.g_DispScale;
  a.colourMode = colourMode;
  a.drawAll = drawAll;
  a.fast = fast;
  return a;
}

int RenderDrawing(TDrawingModel&, Canvas&, const TRenderArgs&, const TRenderIndex*) { return 0; }
void DrawSegment(Canvas&, TPixel, double, TAcadPoint, TAcadPoint, Colour, int, CanvasPenStyle) {}
void DrawArc(Canvas&, TPixel, double, TAcadPoint, double, double, double, Colour, int, CanvasPenStyle) {}
bool LineInView(const TAcadLineBlk&, const TBox&) { return false; }
bool CircleInView(const TCircleBlk&, const TBox&) { return false; }
bool ArcInView(const TArcBlk&, const TBox&) { return false; }
bool TextInView(const TTextBlk&, const TBox&) { return false; }
bool BoxPathsCross(const TBox&, const TBox&) { return false; }
std::unique_ptr<TRenderIndex> BuildRenderIndex(const TDrawingModel&) { return std::make_unique<TRenderIndex>(); }

}  // namespace tesmar
