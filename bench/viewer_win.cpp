// The viewer window measured under Wine on generated drawings of about 10 MB and 100 MB: the
// opening (read, post-processing, first picture, and the progress bar's steps before the
// picture), wheel notches in and out, and a middle-button pan (each preview and the full redraw
// at the release), all through the window's own message handling. Figures only.
//   bench_viewer [--dir DIR] [--sizes 10,100] [--width W --height H]
//   bench_viewer --show FILE [--width W --height H]: only opens FILE in the viewer and keeps it
//   on the screen until the window is closed (for looking at it and driving it by hand); with
//   --close-after MS it is closed after MS milliseconds and the time the close took is printed.
#include <windows.h>
#include <commctrl.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <map>
#include <string>
#include <vector>

#include "base/strings.h"
#include "bench/dxf_generator.h"
#include "ui/gdi.h"
#include "ui/theme.h"
#include "viewer/zoomer_form_win.h"

using namespace tesmar;
namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;

namespace {

double Ms(Clock::time_point since) { return std::chrono::duration<double, std::milli>(Clock::now() - since).count(); }

struct Stats {
  std::vector<double> v;
  void Add(double x) { v.push_back(x); }
  double Median() {
    std::sort(v.begin(), v.end());
    return v.empty() ? 0 : v[v.size() / 2];
  }
  double Max() const { return v.empty() ? 0 : *std::max_element(v.begin(), v.end()); }
};

void EnsureFile(const fs::path& file, std::size_t megabytes) {
  if (fs::exists(file)) return;
  const auto start = Clock::now();
  bench::DxfGenOptions o;
  o.targetBytes = megabytes << 20;
  std::map<std::string, std::size_t> expected;
  const std::string bytes = bench::DxfGenerator(o).Generate(expected);
  fs::create_directories(file.parent_path());
  std::ofstream(file, std::ios::binary).write(bytes.data(), std::streamsize(bytes.size()));
  std::printf("generated %s (%.1f MB) in %.1f s\n", file.filename().string().c_str(), bytes.size() / 1e6, Ms(start) / 1000);
}

// Counts the progress bar's steps and when the last one came.
struct ProgressWatch {
  static inline int steps = 0;
  static inline Clock::time_point last;
  static LRESULT CALLBACK Proc(HWND h, UINT m, WPARAM w, LPARAM l, UINT_PTR, DWORD_PTR) {
    if (m == PBM_SETPOS) ++steps, last = Clock::now();
    return DefSubclassProc(h, m, w, l);
  }
};

void Pump() {
  MSG msg;
  while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
    TranslateMessage(&msg);
    DispatchMessageW(&msg);
  }
}

void Measure(TMorvikZoomerForm& form, const fs::path& file) {
  const HWND image = form.Image1().hwnd();
  const int W = form.Image1().Width(), H = form.Image1().Height();
  std::printf("\n%s (%.1f MB), image %d x %d\n", file.filename().string().c_str(), fs::file_size(file) / 1e6, W, H);

  ProgressWatch::steps = 0;
  SetWindowSubclass(form.ProgressBar1(), &ProgressWatch::Proc, 1, 0);
  const auto t0 = Clock::now();
  form.OpenRequest(U16FromPath(file));
  form.WaitWhileOpening();
  const double open = Ms(t0);
  RemoveWindowSubclass(form.ProgressBar1(), &ProgressWatch::Proc, 1);
  const double lastStep = std::chrono::duration<double, std::milli>(ProgressWatch::last - t0).count();
  const TDrawingModel& m = form.Model();
  std::printf("  drawable tables: %zu lines, %zu circles, %zu arcs, %zu texts\n", m.LineAry.size(), m.CircleAry.size(),
              m.ArcAry.size(), m.TextAry.size());
  std::printf("  open: %.0f ms in all = read %.0f + post-processing %.0f + first picture %.0f (+ layer list, probes)\n",
              open, form.lastOpen.readMs, form.lastOpen.postMs, form.lastOpen.pictureMs);
  std::printf("  progress bar: %d steps, the last %.0f ms after the start; status \"%s\"\n", ProgressWatch::steps,
              lastStep, Utf16ToUtf8(form.Edit1().Text()).c_str());
  Pump();

  // Wheel: in and out at points around the image, each notch one message to the window.
  Stats wheelIn, wheelOut;
  const POINT spots[] = {{W / 2, H / 2}, {W / 3, H / 3}, {2 * W / 3, H / 2}, {W / 2, 2 * H / 3}};
  for (int round = 0; round < 2; ++round) {
    for (POINT p : spots) {
      POINT s = p;
      ClientToScreen(image, &s);
      for (int dir : {1, -1}) {
        const auto t = Clock::now();
        SendMessageW(form.hwnd(), WM_MOUSEWHEEL, MAKEWPARAM(0, dir * WHEEL_DELTA), MAKELPARAM(s.x, s.y));
        (dir > 0 ? wheelIn : wheelOut).Add(Ms(t));
      }
    }
  }
  // Three notches in and back out: deeper views.
  Stats deep;
  POINT c{W / 2, H / 2};
  ClientToScreen(image, &c);
  for (int dir : {1, 1, 1, -1, -1, -1}) {
    const auto t = Clock::now();
    SendMessageW(form.hwnd(), WM_MOUSEWHEEL, MAKEWPARAM(0, dir * WHEEL_DELTA), MAKELPARAM(c.x, c.y));
    deep.Add(Ms(t));
  }
  std::printf("  wheel notch (whole drawing in view): in median %.0f ms (max %.0f), out median %.0f ms (max %.0f)\n",
              wheelIn.Median(), wheelIn.Max(), wheelOut.Median(), wheelOut.Max());
  std::printf("  wheel notch, 1 to 3 notches in and out: median %.0f ms (max %.0f)\n", deep.Median(), deep.Max());

  // Pan: the middle button held, 24 moves of 8 pixels, then the release.
  Stats preview;
  SendMessageW(image, WM_MBUTTONDOWN, MK_MBUTTON, MAKELPARAM(W / 2, H / 2));
  for (int i = 1; i <= 24; ++i) {
    const auto t = Clock::now();
    SendMessageW(image, WM_MOUSEMOVE, MK_MBUTTON, MAKELPARAM(W / 2 + 8 * i, H / 2 + 5 * i));
    preview.Add(Ms(t));
  }
  const auto tr = Clock::now();
  SendMessageW(image, WM_MBUTTONUP, 0, MAKELPARAM(W / 2 + 8 * 24, H / 2 + 5 * 24));
  const double release = Ms(tr);
  std::printf("  pan preview per pointer move: median %.0f ms (max %.0f); full redraw at the release %.0f ms\n",
              preview.Median(), preview.Max(), release);
  Pump();
}

}  // namespace

int main(int argc, char** argv) {
  fs::path dir = fs::temp_directory_path() / "tesmar-bench";
  std::vector<int> sizes = {10, 100};
  int width = 1000, height = 700;
  fs::path show;
  int closeAfter = 0;
  for (int i = 1; i + 1 < argc; i += 2) {
    const std::string a = argv[i];
    if (a == "--dir") dir = argv[i + 1];
    if (a == "--show") show = argv[i + 1];
    if (a == "--close-after") closeAfter = std::atoi(argv[i + 1]);
    if (a == "--width") width = std::atoi(argv[i + 1]);
    if (a == "--height") height = std::atoi(argv[i + 1]);
    if (a == "--sizes") {
      sizes.clear();
      for (const char* p = argv[i + 1]; *p;) {
        sizes.push_back(std::atoi(p));
        while (*p && *p != ',') ++p;
        if (*p) ++p;
      }
    }
  }
  ui::ComInit com;
  INITCOMMONCONTROLSEX icc{sizeof icc, ICC_STANDARD_CLASSES | ICC_WIN95_CLASSES};
  InitCommonControlsEx(&icc);
  ui::ApplyDarkTheme();
  TMorvikZoomerForm form;
  form.Create(nullptr);
  // The image box at the asked size.
  const SIZE c = form.ClientSize();
  RECT r{0, 0, c.cx - form.Image1().Width() + width, c.cy - form.Image1().Height() + height};
  AdjustWindowRectEx(&r, GetWindowLongW(form.hwnd(), GWL_STYLE), FALSE, GetWindowLongW(form.hwnd(), GWL_EXSTYLE));
  SetWindowPos(form.hwnd(), nullptr, 0, 0, r.right - r.left, r.bottom - r.top, SWP_NOZORDER);
  form.SetPlace(TZoomerPlace{0, 0, int(r.right - r.left), int(r.bottom - r.top), 0});  // where it is shown
  if (!show.empty()) {
    form.OpenRequest(U16FromPath(show));
    SetForegroundWindow(form.hwnd());
    // --close-after MS: the window is asked to close then, as its close box does, and the time
    // the close takes is printed: until the window is gone from the screen, and until the
    // opening's thread has ended.
    const UINT_PTR timer = closeAfter > 0 ? SetTimer(nullptr, 0, UINT(closeAfter), nullptr) : 0;
    Clock::time_point asked{};
    double hidden = 0, stopped = 0;
    int position = 0;
    bool opening = false;
    MSG msg;
    while (IsWindowVisible(form.hwnd()) && GetMessageW(&msg, nullptr, 0, 0) > 0) {
      if (timer && msg.message == WM_TIMER && msg.wParam == timer) {
        KillTimer(nullptr, timer);
        opening = form.Opening();
        position = int(SendMessageW(form.ProgressBar1(), PBM_GETPOS, 0, 0));
        asked = Clock::now();
        form.CancelOpening();  // what the close does first, timed on its own
        stopped = Ms(asked);
        SendMessageW(form.hwnd(), WM_CLOSE, 0, 0);
        hidden = IsWindowVisible(form.hwnd()) ? -1 : Ms(asked);
        continue;
      }
      TranslateMessage(&msg);
      DispatchMessageW(&msg);
    }
    form.Destroy();
    if (timer) {
      std::printf("closed %s opening (progress %d of 50): opening stopped after %.1f ms, window hidden after %.1f ms, "
                  "its thread ended after %.1f ms\n",
                  opening ? "while" : "after", position, stopped, hidden, Ms(asked));
    }
    return 0;
  }
  for (int mb : sizes) {
    const fs::path file = dir / ("viewer-" + std::to_string(mb) + "mb.dxf");
    EnsureFile(file, std::size_t(mb));
    Measure(form, file);
  }
  form.Destroy();
  return 0;
}
