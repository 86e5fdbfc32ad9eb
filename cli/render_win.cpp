// tesmar-tool render FILE.dxf OUT.png [--size WxH] [--view CX,CY,W,H]: opens a DXF file as the
// viewer does (probes, read, post-processing), fits the view to the drawing's extents (or to the
// given world rectangle) with the viewer's 0.95 share and draws it into the viewer's off-screen
// raster (black, cyan frame, everything drawn), then writes that raster as PNG and prints one
// JSON line. A file that cannot be shown gives the empty frame, the reason on standard error and
// exit code 1.
#include <chrono>
#include <cmath>
#include <cstdio>
#include <memory>
#include <optional>
#include <stdexcept>

#include "base/codepage.h"
#include "base/readonly_file.h"
#include "base/strings.h"
#include "cli/command.h"
#include "cli/stderr_report.h"
#include "dxf/probe.h"
#include "dxf/reader.h"
#include "render/canvas_gdi_win.h"
#include "render/offscreen_win.h"
#include "render/png_wic_win.h"
#include "render/postprocess.h"

namespace tesmar::cli {
namespace {

bool ParseSize(const std::string& text, int& W, int& H) {
  int w = 0, h = 0;
  char x = 0, extra = 0;
  if (std::sscanf(text.c_str(), "%d%c%d%c", &w, &x, &h, &extra) != 3 || (x != 'x' && x != 'X')) return false;
  if (w < 1 || h < 1 || w > 16384 || h > 16384) return false;
  W = w, H = h;
  return true;
}

// "CX,CY,W,H": the centre and size of a world rectangle, the size not negative.
bool ParseView(const std::string& text, TAcadPoint& centre, double& w, double& h) {
  double cx = 0, cy = 0, ww = 0, hh = 0;
  char extra = 0;
  if (std::sscanf(text.c_str(), "%lf,%lf,%lf,%lf%c", &cx, &cy, &ww, &hh, &extra) != 4) return false;
  if (!std::isfinite(cx) || !std::isfinite(cy) || !(ww >= 0) || !(hh >= 0) || !std::isfinite(ww) || !std::isfinite(hh))
    return false;
  centre = TAcadPoint{cx, cy, 0}, w = ww, h = hh;
  return true;
}

bool HasDxfExtension(const std::u16string& file) {
  return file.size() >= 4 && UpperCase16(file.substr(file.size() - 4)) == u".DXF";
}

int RenderMain(const std::vector<std::string>& args) {
  int W = 1280, H = 960;
  std::optional<TView> given;
  std::vector<std::string> files;
  for (std::size_t i = 0; i < args.size(); ++i) {
    if (args[i] == "--size" && i + 1 < args.size()) {
      if (!ParseSize(args[++i], W, H)) {
        std::fprintf(stderr, "render: --size wants WxH with both between 1 and 16384, not %s\n", args[i].c_str());
        return 2;
      }
    } else if (args[i] == "--view" && i + 1 < args.size()) {
      TView v;
      if (!ParseView(args[++i], v.g_cadpt, v.g_cadw, v.g_cadh)) {
        std::fprintf(stderr, "render: --view wants CX,CY,W,H with W and H not negative, not %s\n", args[i].c_str());
        return 2;
      }
      given = v;
    } else {
      files.push_back(args[i]);
    }
  }
  if (files.size() != 2) {
    std::fprintf(stderr, "usage: tesmar-tool render FILE.dxf OUT.png [--size WxH] [--view CX,CY,W,H]\n");
    return 2;
  }
  const std::u16string file = Utf8ToUtf16(files[0]);
  TDrawingModel model;
  const auto start = std::chrono::steady_clock::now();
  std::u16string reason;
  std::unique_ptr<TRaster8> raster;
  TView view;
  view.W = W, view.H = H, view.g_DispScale = 0.95;
  int drawn = 0;
  TBox ext;
  if (!IsExistingFile(PathFromU16(file))) {
    reason = u"no such file";
  } else if (!HasDxfExtension(file)) {
    reason = u"not a .dxf file";
  } else {
    const TDxfProbe probe = ProbeDxfFile(file);
    if (!probe.readable) {
      reason = u"AutoCAD Binary DXF";
    } else if (!probe.versionRead) {
      reason = u"cannot be opened";
    } else {
      StderrReport report;
      std::u16string status;
      ReadDxfFile(model, file, nullptr, &report, status, probe.encoding);
      if (!status.empty()) {
        reason = status;
      } else {
        try {
          ext = RunPostProcessing(model);
          view.g_cadw = ext.max.x - ext.min.x;
          view.g_cadh = ext.max.y - ext.min.y;
          view.g_cadpt = TAcadPoint{(ext.max.x + ext.min.x) / 2, (ext.max.y + ext.min.y) / 2, 0};
          if (given) view.g_cadpt = given->g_cadpt, view.g_cadw = given->g_cadw, view.g_cadh = given->g_cadh;
          const auto index = BuildRenderIndex(model);
          raster = OffscreenRedraw(model, view, 0, true, false, index.get(), &drawn);
        } catch (const std::exception& e) {
          reason = Utf8ToUtf16(e.what());
        }
      }
    }
  }
  if (!raster) {
    raster = std::make_unique<TRaster8>(W, H);
    GdiCanvas canvas(raster->Dc());
    DrawEmptyFrame(canvas, W, H);
  }
  WritePngWic(PathArg(files[1]), raster->ToRgb());
  const double ms = std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count();
  if (!reason.empty()) {
    PrintUtf8Line(stderr, Utf8ToUtf16(files[0]) + u": " + reason);
    return 1;
  }
  std::printf("{\"drawn\": %d, \"width\": %d, \"height\": %d, \"dX\": %.6g, \"dY\": %.6g, \"extents\": [%.10g, %.10g, %.10g, %.10g], \"ms\": %.1f}\n",
              drawn, W, H, ext.max.x - ext.min.x, ext.max.y - ext.min.y, ext.min.x, ext.min.y, ext.max.x, ext.max.y, ms);
  return 0;
}

}  // namespace

TESMAR_TOOL_COMMAND("render", "FILE.dxf OUT.png [--size WxH] [--view CX,CY,W,H]  draw the drawing as the viewer first shows it",
                    RenderMain);

}  // namespace tesmar::cli
