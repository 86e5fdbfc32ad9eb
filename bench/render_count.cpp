// The render pass onto a canvas that only counts its calls, for the three views of the redraw
// goals, on the reading benchmark's generated drawings: milliseconds per redraw and records per
// second of the plain pass (every record looked at, drawn on its own) and of the indexed pass,
// and how many canvas calls each makes. What the platform then does with the calls is measured
// by bench_render_gdi_win under Wine.
//
//   bench_render_count [--dir DIR] [--sizes 10,100] [--runs N]
#include "bench/render_setup.h"

using namespace tesmar;
using namespace tesmar::bench;

namespace {

class CountingCanvas : public Canvas {
 public:
  long long primitives = 0, segments = 0, state = 0;

  PenState Pen() const override { return pen_; }
  void SetPenColour(Colour c) override { pen_.colour = c, ++state; }
  void SetPenWidth(int w) override { pen_.width = w, ++state; }
  void SetPenStyle(TPenStyle s) override { pen_.style = s, ++state; }
  void SetPenMode(PenMode m) override { pen_.mode = m, ++state; }
  BrushState Brush() const override { return brush_; }
  void SetBrushStyle(BrushStyle s) override { brush_.style = s, ++state; }
  void SetBrushColour(Colour c) override { brush_.colour = c, ++state; }
  void MoveTo(int, int) override {}
  void LineTo(int, int) override { ++primitives, ++segments; }
  void SetPixel(int, int, Colour) override { ++primitives; }
  void PolyPolyline(const CanvasPoint*, const std::uint32_t* counts, std::size_t n) override {
    ++primitives;
    for (std::size_t i = 0; i < n; ++i) segments += counts[i] - 1;
  }
  void Arc(int, int, int, int, int, int, int, int) override { ++primitives; }
  void Rectangle(int, int, int, int) override { ++primitives; }
  void FillRect(int, int, int, int) override { ++primitives; }
  void FillPolyPolygon(const CanvasPoint*, const std::uint32_t*, std::size_t) override { ++primitives; }
  LogicalFont Font() const override { return font_; }
  void PushFont(const LogicalFont&) override { ++state; }
  void PopFont() override {}
  Colour FontColour() const override { return fontColour_; }
  void SetFontColour(Colour c) override { fontColour_ = c; }
  void TextOut(int, int, std::u16string_view) override { ++primitives; }
  int TextWidth(std::u16string_view text) override { return static_cast<int>(text.size()) * 8; }

 private:
  PenState pen_;
  BrushState brush_;
  LogicalFont font_;
  Colour fontColour_ = 0;
};

}  // namespace

int main(int argc, char** argv) {
  const RenderBenchOptions o = ParseRenderBenchArgs(argc, argv);
  std::printf("render pass onto a counting canvas, %dx%d, best of %d (goals are for the GDI redraw under Wine)\n",
              o.W, o.H, o.runs);
  for (int mb : o.sizes) {
    const fs::path file = EnsureDrawing(o.dir, mb);
    LoadedDrawing d = LoadDrawing(file);
    std::printf("\n%s: %zu drawable records (lines %zu, circles %zu, arcs %zu, texts %zu); read %.0f ms, post %.0f ms, "
                "index built once in %.1f ms\n",
                file.filename().string().c_str(), d.drawable, d.model->LineAry.size(), d.model->CircleAry.size(),
                d.model->ArcAry.size(), d.model->TextAry.size(), d.readMs, d.postMs, d.indexMs);
    PrintHeader("");
    for (const BenchView& v : BenchViews(*d.model, *d.index, d.extents, o.W, o.H)) {
      const TRenderArgs a = RenderArgsFor(v.view, 0, v.drawAll, v.fast);
      int drawn = 0;
      CountingCanvas plainCalls, fastCalls;
      RenderDrawing(*d.model, plainCalls, a);
      drawn = RenderDrawing(*d.model, fastCalls, a, d.index.get());
      const double plainMs = BestMs(o.runs, [&] {
        CountingCanvas c;
        RenderDrawing(*d.model, c, a);
      });
      const double fastMs = BestMs(o.runs, [&] {
        CountingCanvas c;
        RenderDrawing(*d.model, c, a, d.index.get());
      });
      char note[160];
      std::snprintf(note, sizeof note, "  canvas calls: plain %lld primitives, indexed %lld primitives (%lld segments)",
                    plainCalls.primitives, fastCalls.primitives, fastCalls.segments);
      PrintRow(mb, v, drawn, plainMs, fastMs, 0, note);
    }
  }
  return 0;
}
