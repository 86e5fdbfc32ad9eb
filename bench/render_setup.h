#pragma once
// Shared by the render benchmarks: the generated drawings of the reading benchmark, read and
// post-processed as the viewer does, the three views the goals name, and the timing loop.
#include <algorithm>
#include <ctime>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <vector>

#ifdef _WIN32
#include <windows.h>
#endif

#include "base/strings.h"
#include "bench/dxf_generator.h"
#include "dxf/reader.h"
#include "render/postprocess.h"
#include "render/render_pass.h"
#include "render/view.h"

namespace tesmar::bench {

namespace fs = std::filesystem;

inline double MsSince(std::chrono::steady_clock::time_point t) {
  return std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - t).count();
}

struct RenderBenchOptions {
  fs::path dir = fs::temp_directory_path() / "tesmar-bench-dxf";
  std::vector<int> sizes{10, 100};
  int runs = 5;
  int W = 1280, H = 960;
};

inline RenderBenchOptions ParseRenderBenchArgs(int argc, char** argv) {
  RenderBenchOptions o;
  for (int i = 1; i + 1 < argc; i += 2) {
    const std::string a = argv[i], v = argv[i + 1];
    if (a == "--dir") o.dir = v;
    if (a == "--runs") o.runs = std::max(1, std::stoi(v));
    if (a == "--sizes") {
      o.sizes.clear();
      for (std::size_t p = 0; p < v.size();) {
        const std::size_t q = v.find(',', p);
        o.sizes.push_back(std::stoi(v.substr(p, q - p)));
        p = q == std::string::npos ? v.size() : q + 1;
      }
    }
  }
  return o;
}

// The R2000 drawing of `mb` megabytes, generated unless it is there already.
inline fs::path EnsureDrawing(const fs::path& dir, int mb) {
  const fs::path file = dir / ("bench_" + std::to_string(mb) + "mb_r2000.dxf");
  if (fs::exists(file)) return file;
  fs::create_directories(dir);
  DxfGenOptions o;
  o.targetBytes = static_cast<std::size_t>(mb) << 20;
  std::map<std::string, std::size_t> expected;
  const std::string bytes = DxfGenerator(o).Generate(expected);
  std::ofstream(file, std::ios::binary).write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
  return file;
}

struct LoadedDrawing {
  std::unique_ptr<TDrawingModel> model = std::make_unique<TDrawingModel>();
  TBox extents;
  std::size_t drawable = 0;
  double readMs = 0, postMs = 0, indexMs = 0;
  std::unique_ptr<TRenderIndex> index;
};

inline LoadedDrawing LoadDrawing(const fs::path& file) {
  LoadedDrawing d;
  std::u16string status;
  auto t = std::chrono::steady_clock::now();
  ReadDxfFile(*d.model, U16FromPath(file), nullptr, nullptr, status, TextEncoding::Ansi);
  d.readMs = MsSince(t);
  const TPostFigures f = RunPostProcessingTimed(*d.model);
  d.extents = f.extents;
  d.drawable = f.drawable;
  d.postMs = f.post_ms;
  t = std::chrono::steady_clock::now();
  d.index = BuildRenderIndex(*d.model);
  d.indexMs = MsSince(t);
  return d;
}

struct BenchView {
  const char* name;
  TView view;
  bool drawAll = false;
  bool fast = false;
  double goal10 = 0, goal100 = 0;  // ms, under Wine with the GDI canvas
};

// Fitted with the viewer's 0.95 share (draw all: the first picture); zoomed 16 times on the
// corner of the extents where the most records are drawn, and on the centre, where the
// generated drawings are densest; the fast pass of a pan over the
// fitted view.
inline std::vector<BenchView> BenchViews(TDrawingModel& m, const TRenderIndex& index, const TBox& e, int W, int H) {
  TView fit;
  fit.W = W, fit.H = H, fit.g_DispScale = 0.95;
  fit.g_cadw = e.max.x - e.min.x, fit.g_cadh = e.max.y - e.min.y;
  fit.g_cadpt = TAcadPoint{(e.max.x + e.min.x) / 2, (e.max.y + e.min.y) / 2, 0};
  TView zoom = fit;
  zoom.g_cadw /= 16, zoom.g_cadh /= 16;
  int most = -1;
  for (int corner = 0; corner < 4; ++corner) {
    TView v = zoom;
    v.g_cadpt = TAcadPoint{corner & 1 ? e.max.x - v.g_cadw / 2 : e.min.x + v.g_cadw / 2,
                           corner & 2 ? e.max.y - v.g_cadh / 2 : e.min.y + v.g_cadh / 2, 0};
    struct Null : Canvas {
      PenState pen;
      BrushState brush;
      LogicalFont font;
      PenState Pen() const override { return pen; }
      void SetPenColour(Colour c) override { pen.colour = c; }
      void SetPenWidth(int w) override { pen.width = w; }
      void SetPenStyle(TPenStyle s) override { pen.style = s; }
      void SetPenMode(PenMode md) override { pen.mode = md; }
      BrushState Brush() const override { return brush; }
      void SetBrushStyle(BrushStyle s) override { brush.style = s; }
      void SetBrushColour(Colour c) override { brush.colour = c; }
      void MoveTo(int, int) override {}
      void LineTo(int, int) override {}
      void SetPixel(int, int, Colour) override {}
      void PolyPolyline(const CanvasPoint*, const std::uint32_t*, std::size_t) override {}
      void Arc(int, int, int, int, int, int, int, int) override {}
      void Rectangle(int, int, int, int) override {}
      void FillRect(int, int, int, int) override {}
      void FillPolyPolygon(const CanvasPoint*, const std::uint32_t*, std::size_t) override {}
      LogicalFont Font() const override { return font; }
      void PushFont(const LogicalFont&) override {}
      void PopFont() override {}
      Colour FontColour() const override { return 0; }
      void SetFontColour(Colour) override {}
      void TextOut(int, int, std::u16string_view) override {}
      int TextWidth(std::u16string_view t) override { return static_cast<int>(t.size()) * 8; }
    } null;
    const int drawn = RenderDrawing(m, null, RenderArgsFor(v, 0, false, false), &index);
    if (drawn > most) most = drawn, zoom.g_cadpt = v.g_cadpt;
  }
  TView centre = zoom;
  centre.g_cadpt = fit.g_cadpt;
  return {{"fitted, draw all", fit, true, false, 100, 1000},
          {"zoomed 16x on a corner", zoom, false, false, 20, 100},
          {"zoomed 16x on the centre", centre, false, false, 20, 100},
          {"fast pass, fitted", fit, false, true, 50, 500}};
}

// Processor time of this process in milliseconds (the machine may be shared, and time spent
// waiting for a core says nothing about the code; under Wine the GDI drawing runs in-process).
inline double CpuMs() {
#ifdef _WIN32
  FILETIME created, exited, kernel, user;
  GetProcessTimes(GetCurrentProcess(), &created, &exited, &kernel, &user);
  auto ms = [](FILETIME f) { return ((static_cast<unsigned long long>(f.dwHighDateTime) << 32) | f.dwLowDateTime) / 1e4; };
  return ms(kernel) + ms(user);
#else
  timespec ts{};
  clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &ts);
  return static_cast<double>(ts.tv_sec) * 1e3 + static_cast<double>(ts.tv_nsec) * 1e-6;
#endif
}

// Best of `runs` wall-clock milliseconds of f; `cpu` receives the best processor time.
inline double BestMs(int runs, const std::function<void()>& f, double* cpu = nullptr) {
  double best = 1e300, bestCpu = 1e300;
  for (int i = 0; i < runs; ++i) {
    const auto t = std::chrono::steady_clock::now();
    const double c = CpuMs();
    f();
    best = std::min(best, MsSince(t));
    bestCpu = std::min(bestCpu, CpuMs() - c);
  }
  if (cpu) *cpu = bestCpu;
  return best;
}

inline void PrintHeader(const char* what) {
  std::printf("%-6s %-24s %-8s %10s %12s %10s %12s %9s %8s\n", "file", "view", "drawn", "plain ms", "plain rec/s",
              "fast ms", "fast rec/s", "speed-up", what);
}

inline void PrintRow(int mb, const BenchView& v, int drawn, double plainMs, double fastMs, double goal,
                     const char* note) {
  std::printf("%-6s %-24s %-8d %10.2f %12.3g %10.2f %12.3g %8.1fx %8s%s\n", (std::to_string(mb) + "MB").c_str(),
              v.name, drawn, plainMs, drawn / (plainMs / 1000), fastMs, drawn / (fastMs / 1000), plainMs / fastMs,
              goal > 0 ? (fastMs <= goal ? "met" : "MISSED") : "", note);
}

}  // namespace tesmar::bench
