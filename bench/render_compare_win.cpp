// Compares, pixel by pixel, the picture of the indexed pass that writes one-pixel primitives
// into the raster itself with the plain pass (every record its own GDI call), for the real DXF
// files of a folder and the generated drawings, in the views a user sees first: the drawing
// fitted, one wheel notch in on its centre and four times enlarged. Prints per file and view
// the differing pixels of the indexed pass without and with the raster writes, and the time of
// each pass.
//
//   wine bench_render_compare_win.exe [--dxf DIR] [--dir GENERATED] [--sizes 10,100]
//                                     [--width W --height H]
#include <windows.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "base/strings.h"
#include "bench/render_setup.h"
#include "render/offscreen_win.h"
#include "viewer/navigation.h"
#include "viewer/open_drawing.h"

using namespace tesmar;
namespace fs = std::filesystem;

namespace {

int Differing(const TRaster8& a, const TRaster8& b) {
  int n = 0;
  for (int y = 0; y < a.Height(); ++y) {
    const std::uint8_t *p = a.Row(y), *q = b.Row(y);
    for (int x = 0; x < a.Width(); ++x) n += p[x] != q[x];
  }
  return n;
}

struct Totals {
  long long before = 0, after = 0;
  double plainMs = 0, indexedMs = 0, directMs = 0;
};

void Compare(const fs::path& file, int W, int H, Totals& totals) {
  TOpenResult opened = OpenDrawing(U16FromPath(file), nullptr);
  if (opened.outcome != TOpenOutcome::Opened) {
    std::printf("%-48s not opened\n", file.filename().string().c_str());
    return;
  }
  TDrawing& d = *opened.drawing;
  TView fit;
  fit.W = W, fit.H = H;
  FitView(fit, d.extents);
  struct Named {
    const char* name;
    TView view;
    bool drawAll;
  };
  TView notch = fit, four = fit;
  notch.g_cadw /= 1.25, notch.g_cadh /= 1.25;
  four.g_cadw /= 4, four.g_cadh /= 4;
  const Named views[] = {{"fitted, draw all", fit, true}, {"fitted", fit, false}, {"notch in", notch, false},
                         {"4x", four, false}};
  for (const Named& v : views) {
    double ms[3];
    std::unique_ptr<TRaster8> pictures[3];
    for (int kind = 0; kind < 3; ++kind) {
      const auto t = std::chrono::steady_clock::now();
      pictures[kind] = OffscreenRedraw(d.model, v.view, 0, v.drawAll, false, kind ? d.index.get() : nullptr, nullptr,
                                       kind == 2);
      ms[kind] = bench::MsSince(t);
    }
    const int before = Differing(*pictures[0], *pictures[1]), after = Differing(*pictures[0], *pictures[2]);
    std::printf("%-48s %-18s %8d %8d   %9.1f %9.1f %9.1f\n", file.filename().string().c_str(), v.name, before, after,
                ms[0], ms[1], ms[2]);
    totals.before += before, totals.after += after;
    totals.plainMs += ms[0], totals.indexedMs += ms[1], totals.directMs += ms[2];
  }
}

}  // namespace

int main(int argc, char** argv) {
  fs::path dxf = "../shared/testdata/dxf", generated = fs::temp_directory_path() / "tesmar-bench-dxf";
  std::vector<int> sizes{10, 100};
  int W = 1000, H = 700;
  for (int i = 1; i + 1 < argc; i += 2) {
    const std::string a = argv[i], v = argv[i + 1];
    if (a == "--dxf") dxf = v;
    if (a == "--dir") generated = v;
    if (a == "--width") W = std::atoi(v.c_str());
    if (a == "--height") H = std::atoi(v.c_str());
    if (a == "--sizes") {
      sizes.clear();
      for (std::size_t p = 0; p < v.size();) {
        const std::size_t q = v.find(',', p);
        if (q != p) sizes.push_back(std::stoi(v.substr(p, q - p)));
        p = q == std::string::npos ? v.size() : q + 1;
      }
    }
  }
  std::vector<fs::path> files;
  std::error_code ec;
  for (const auto& e : fs::directory_iterator(dxf, ec))
    if (e.path().extension() == ".dxf") files.push_back(e.path());
  std::sort(files.begin(), files.end());
  if (files.empty()) std::printf("no DXF files in %s\n", dxf.string().c_str());
  for (int mb : sizes) {
    const fs::path f = bench::EnsureDrawing(generated, mb);
    files.push_back(f);
  }
  std::printf("image %d x %d; differing pixels against the plain pass, and ms per redraw\n", W, H);
  std::printf("%-48s %-18s %8s %8s   %9s %9s %9s\n", "file", "view", "indexed", "+raster", "plain", "indexed",
              "+raster");
  Totals totals;
  for (const fs::path& f : files) Compare(f, W, H, totals);
  std::printf("%-48s %-18s %8lld %8lld   %9.1f %9.1f %9.1f\n", "all", "", totals.before, totals.after, totals.plainMs,
              totals.indexedMs, totals.directMs);
  return 0;
}
