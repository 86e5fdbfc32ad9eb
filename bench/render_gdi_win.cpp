// The off-screen redraw under Wine: the render pass with the GDI canvas into the viewer's 8-bit
// raster of 1280 x 960 (black, cyan frame), for the three views of the redraw goals, on the
// reading benchmark's generated drawings. Milliseconds per redraw and records per second of the
// plain pass beside the indexed pass, against the goals.
//
//   wine bench_render_gdi_win.exe [--dir DIR] [--sizes 10,100] [--runs N]
#include "bench/render_setup.h"
#include "render/offscreen_win.h"

using namespace tesmar;
using namespace tesmar::bench;

int main(int argc, char** argv) {
  const RenderBenchOptions o = ParseRenderBenchArgs(argc, argv);
  std::printf("off-screen GDI redraw into the 8-bit raster, %dx%d, best of %d\n", o.W, o.H, o.runs);
  for (int mb : o.sizes) {
    const fs::path file = EnsureDrawing(o.dir, mb);
    LoadedDrawing d = LoadDrawing(file);
    std::printf("\n%s: %zu drawable records; index built once in %.1f ms\n", file.filename().string().c_str(),
                d.drawable, d.indexMs);
    PrintHeader("goal");
    for (const BenchView& v : BenchViews(*d.model, *d.index, d.extents, o.W, o.H)) {
      int drawn = 0;
      double plainCpu = 0, fastCpu = 0;
      const double plainMs = BestMs(
          o.runs, [&] { OffscreenRedraw(*d.model, v.view, 0, v.drawAll, v.fast, nullptr, &drawn); }, &plainCpu);
      const double fastMs = BestMs(
          o.runs, [&] { OffscreenRedraw(*d.model, v.view, 0, v.drawAll, v.fast, d.index.get(), &drawn); }, &fastCpu);
      const double goal = mb <= 10 ? v.goal10 : v.goal100;
      char note[96];
      std::snprintf(note, sizeof note, "  (goal %.0f ms; processor time plain %.1f ms, indexed %.1f ms)", goal,
                    plainCpu, fastCpu);
      PrintRow(mb, v, drawn, plainMs, fastMs, goal, note);
      if (mb > 10) continue;
      // Where the time goes: the indexed redraw of each table alone.
      for (int kind = 0; kind < 4; ++kind) {
        TDrawingModel part;
        part.LayerAry = d.model->LayerAry;
        const char* names[] = {"lines", "circles", "arcs", "texts"};
        if (kind == 0) part.LineAry = d.model->LineAry;
        if (kind == 1) part.CircleAry = d.model->CircleAry;
        if (kind == 2) part.ArcAry = d.model->ArcAry;
        if (kind == 3) part.TextAry = d.model->TextAry;
        const auto partIndex = BuildRenderIndex(part);
        int n = 0;
        const double ms = BestMs(o.runs, [&] { OffscreenRedraw(part, v.view, 0, v.drawAll, v.fast, partIndex.get(), &n); });
        std::printf("         %-8s alone: %7d drawn, %8.2f ms\n", names[kind], n, ms);
      }
    }
  }
  return 0;
}
