// The render pass: its entry and the plain pass. The other topics have files of their own
// (render_pass_parts.h lists them).
#include "render/render_pass.h"

#include "render/render_pass_parts.h"

namespace tesmar {
namespace render_pass {

void PlainPass(Pass& p) {
  const bool fast = p.a.fast;
  auto table = [&](auto& rows, auto inView, auto draw) {
    const std::size_t stepBy = fast ? 2 : 1;
    for (std::size_t i = 0; i < rows.size(); i += stepBy) {
      auto& r = rows[i];
      if (!p.Wanted(r)) continue;
      if (p.selected < 0 && !p.a.drawAll && !inView(r, p.R)) continue;
      ++p.count;
      draw(r);
    }
  };
  for (const TFillBlk& r : p.m.FillAry) {
    if (!p.Wanted(r)) continue;
    if (p.selected < 0 && !p.a.drawAll && !FillInView(r, p.R)) continue;
    ++p.count;
    p.Fill(r);
  }
  table(p.m.LineAry, LineInView, [&](auto& r) { p.Line(r); });
  table(p.m.CircleAry, CircleInView, [&](auto& r) { p.Circle(r); });
  table(p.m.ArcAry, ArcInView, [&](auto& r) { p.Arc(r); });
  for (const TXlineBlk& r : p.m.XlineAry) {
    if (!p.Wanted(r)) continue;
    ++p.count;
    p.Xline(r);
  }
  if (fast) return;
  for (const TTextBlk& r : p.m.TextAry) {
    if (!p.Wanted(r) || (r.code70 & 1) != 0) continue;
    if (p.selected < 0 && !p.a.drawAll && !TextInView(r, p.R)) continue;
    ++p.count;
    p.Text(r);
  }
}

}  // namespace render_pass

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

int RenderDrawing(TDrawingModel& m, Canvas& canvas, const TRenderArgs& a, const TRenderIndex* index) {
  render_pass::Pass p{m, canvas, a};
  p.selected = a.selectedLayer ? GetLayerIndex(m, *a.selectedLayer) : -1;
  if ((a.width == 0 && a.height == 0) || a.dispScale == 0) return 0;
  p.s = PixelSize(a.width, a.height, a.W, a.H, a.dispScale);
  p.R = ViewRect(a.centre, p.s, a.W, a.H);
  if (index) {
    render_pass::RunIndexedPass(p, *index);
  } else {
    render_pass::PlainPass(p);
  }
  return p.count;
}

}  // namespace tesmar
