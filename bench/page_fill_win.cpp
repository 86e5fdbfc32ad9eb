// Page fill of the preview grid, measured under Wine: a folder of 3000 demo drawings, every
// page of 30 previews filled by the grid's own page fill (read, decode, crop-and-fit), plus
// the copy into a device-independent bitmap as a cell shows it; the same pages turned in the
// main window itself; then the catalogue walk of a tree of 5000 folders. Figures only;
// nothing is asserted.
#include <windows.h>
#include <objbase.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>

#include "app/main_form_win.h"
#include "base/codepage.h"
#include "base/strings.h"
#include "library/catalogue.h"
#include "library/demo_library.h"
#include "library/grid_model.h"
#include "library/page_fill_win.h"
#include "library/paging.h"

using namespace tesmar;
using Clock = std::chrono::steady_clock;

namespace {

double Ms(Clock::duration d) { return std::chrono::duration<double, std::milli>(d).count(); }

struct PageCost {
  double fill = 0, bitmap = 0;  // the page fill without and with the cells' bitmaps
  double Total() const { return fill + bitmap; }
};

// One cell as the grid shows it: a 32-bit top-down DIB section the size of the image box.
void ToBitmap(const RgbImage& cell) {
  BITMAPINFO bi{};
  bi.bmiHeader.biSize = sizeof bi.bmiHeader;
  bi.bmiHeader.biWidth = cell.width;
  bi.bmiHeader.biHeight = -cell.height;
  bi.bmiHeader.biPlanes = 1;
  bi.bmiHeader.biBitCount = 32;
  void* bits = nullptr;
  HBITMAP bmp = CreateDIBSection(nullptr, &bi, DIB_RGB_COLORS, &bits, nullptr, 0);
  if (bmp && bits) std::memcpy(bits, cell.pixels.data(), cell.pixels.size() * 4);
  DeleteObject(bmp);
}

PageCost FillPage(const GridModel& grid, const std::u16string& folder) {
  PageCost c;
  double bitmaps = 0;
  auto t0 = Clock::now();
  FillGridPage(grid, folder, kCellsPerPage, 43, 43, true, [&](int, const std::u16string&, const RgbImage& cell) {
    auto b0 = Clock::now();
    ToBitmap(cell);
    bitmaps += Ms(Clock::now() - b0);
  });
  c.bitmap = bitmaps;
  c.fill = Ms(Clock::now() - t0) - bitmaps;
  return c;
}

void Report(const char* what, const std::vector<PageCost>& pages) {
  PageCost sum;
  double worst = 0;
  for (const auto& p : pages) {
    sum.fill += p.fill, sum.bitmap += p.bitmap;
    worst = std::max(worst, p.Total());
  }
  const double n = double(pages.size());
  std::printf("%-26s pages %3zu  per page: total %6.2f ms (page fill %5.2f, bitmaps %5.2f), worst %6.2f ms\n", what,
              pages.size(), sum.Total() / n, sum.fill / n, sum.bitmap / n, worst);
}

}  // namespace

int main(int argc, char** argv) {
  CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
  std::filesystem::path base = std::filesystem::temp_directory_path() / "tesmar-bench";
  if (argc > 1) base = argv[1];
  const std::filesystem::path drawings = base / "drawings3000";
  const std::filesystem::path tree = base / "tree5000";

  auto t0 = Clock::now();
  if (!std::filesystem::exists(drawings / "done")) {
    WriteDemoFolder(drawings, 3000);
    std::ofstream(drawings / "done") << "ok";
  }
  std::printf("3000 demo drawings ready in %.0f ms (%s)\n", Ms(Clock::now() - t0), drawings.string().c_str());

  const std::u16string folder = U16FromPath(drawings) + kPathSeparator;
  auto t1 = Clock::now();
  std::vector<std::u16string> names = ListDrawingFiles(folder, u".dwg");
  GridModel grid;
  grid.SetDrawings(std::move(names));
  std::printf("list and sort %d names: %.2f ms\n", grid.Count(), Ms(Clock::now() - t1));

  std::vector<PageCost> first, second;
  for (auto* pass : {&first, &second}) {
    grid.ShowPageOf(0);
    do pass->push_back(FillPage(grid, folder));
    while (grid.Turn(true));
  }
  Report("first pass (cold process)", first);
  Report("second pass (warm)", second);

  // The same pages in the main window itself: each turn as holding ">>" runs it (the cells'
  // pictures replaced and the window's pending messages processed once).
  {
    const std::filesystem::path program = base / "program";
    std::filesystem::create_directories(program);
    std::ofstream(program / "TesmarTopDirs.txt", std::ios::binary) << Utf16ToAnsi(U16FromPath(drawings)) << "\r\n";
    auto s0 = Clock::now();
    TTesmarMainForm form(U16FromPath(program / "Tesmar.exe"));
    form.Create();
    ShowWindow(form.hwnd(), SW_SHOWNA);
    std::printf("main window up with the folder loaded: %.1f ms\n", Ms(Clock::now() - s0));
    double worst = 0;
    auto g0 = Clock::now();
    int turns = 0;
    while (!form.grid.g_ImgUpNG) {
      auto t = Clock::now();
      form.dwgImageUp(true);
      worst = std::max(worst, Ms(Clock::now() - t));
      ++turns;
    }
    std::printf("main window: %d page turns forward, %.2f ms a turn on average, worst %.2f ms\n", turns,
                Ms(Clock::now() - g0) / turns, worst);
    DestroyWindow(form.hwnd());
  }

  // The catalogue walk: 50 folders of 100 sub-folders, a drawing in every tenth.
  t0 = Clock::now();
  if (!std::filesystem::exists(tree / "done")) {
    const std::string one = "AC1015";
    for (int a = 0; a < 50; ++a) {
      for (int b = 0; b < 99; ++b) {
        auto dir = tree / ("group" + std::to_string(a)) / ("part" + std::to_string(b));
        std::filesystem::create_directories(dir);
        if (b % 10 == 0) std::ofstream(dir / "x.dwg") << one;
      }
    }
    std::ofstream(tree / "done") << "ok";
  }
  std::printf("tree ready in %.0f ms\n", Ms(Clock::now() - t0));
  for (int run = 0; run < 2; ++run) {
    int updates = 0;
    auto w0 = Clock::now();
    CatalogueWalk walk = WalkCatalogue(U16FromPath(tree), u".dwg", [&](const std::u16string&) { ++updates; });
    std::printf("catalogue walk %d: %zu folders listed, %zu drawing folders, %d progress texts, %.1f ms\n", run + 1,
                std::size_t(updates > 0 ? updates - 1 : 0), walk.drawingFolders.size(), updates, Ms(Clock::now() - w0));
  }
  return 0;
}
