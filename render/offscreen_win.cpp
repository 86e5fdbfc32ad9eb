#include "render/offscreen_win.h"

#include <algorithm>
#include <map>
#include <mutex>
#include <stdexcept>

#include "base/strings.h"
#include "render/canvas_gdi_win.h"
#include "render/colours.h"
#include "render/prepare_canvas.h"
#include "render/raster.h"

namespace tesmar {

const std::array<RGBQUAD, 256>& RasterColourTable() {
  static const std::array<RGBQUAD, 256> table = [] {
    std::array<RGBQUAD, 256> t{};
    for (int i = 1; i < 256; ++i) {
      const Colour c = AciToColor(i);
      t[i] = RGBQUAD{BYTE((c >> 16) & 0xFF), BYTE((c >> 8) & 0xFF), BYTE(c & 0xFF), 0};
    }
    return t;
  }();
  return table;
}

TRaster8::TRaster8(int W, int H) : dib_(W, H, 8, RasterColourTable().data(), 256) {
  LOGFONTW lf{};
  lf.lfHeight = -12;
  lf.lfCharSet = DEFAULT_CHARSET;
  const std::wstring face = ToWide(kRasterFace);
  wcscpy(lf.lfFaceName, face.c_str());
  font_.Reset(CreateFontIndirectW(&lf));
  if (!font_) throw std::runtime_error("CreateFontIndirectW failed");
  oldFont_ = SelectObject(dib_.Dc(), font_.get());
}

TRaster8::~TRaster8() { SelectObject(dib_.Dc(), oldFont_); }

RgbImage TRaster8::ToRgb() const {
  RgbImage image(Width(), Height());
  const auto& table = RasterColourTable();
  for (int y = 0; y < Height(); ++y) {
    const std::uint8_t* row = Row(y);
    for (int x = 0; x < Width(); ++x) {
      const RGBQUAD q = table[row[x]];
      image.pixels[static_cast<std::size_t>(y) * Width() + x] = MakeRgb(q.rgbRed, q.rgbGreen, q.rgbBlue);
    }
  }
  return image;
}

void DrawEmptyFrame(Canvas& canvas, int W, int H) {
  PrepareCanvas(canvas, W, H, kBlack);
  if (canvas.Pen().colour != kFrameCyan) canvas.SetPenColour(kFrameCyan);
  canvas.MoveTo(0, 0);
  canvas.LineTo(W - 1, 0);
  canvas.LineTo(W - 1, H - 1);
  canvas.LineTo(0, H - 1);
  canvas.LineTo(0, 0);
}

TRaster8Target::TRaster8Target(TRaster8& raster) {
  rows = TRasterOut{raster.Row(0), raster.Stride()};
  W = raster.Width();
  H = raster.Height();
}

std::uint8_t TRaster8Target::Probe(Colour c, bool pen) {
  auto& known = pen ? pens_ : pixels_;
  for (const auto& [colour, index] : known)
    if (colour == c) return index;
  // The answer is the platform's and the colour table's, the same for every raster: kept for
  // the process.
  static std::mutex lock;
  static std::map<std::pair<Colour, bool>, std::uint8_t> found;
  std::lock_guard hold(lock);
  if (const auto it = found.find({c, pen}); it != found.end()) {
    known.emplace_back(c, it->second);
    return it->second;
  }
  TRaster8 probe(4, 1);
  {
    GdiCanvas canvas(probe.Dc());
    if (pen) {
      canvas.SetPenColour(c);
      canvas.MoveTo(0, 0);
      canvas.LineTo(1, 0);
    } else {
      canvas.SetPixel(0, 0, c);
    }
  }
  GdiFlush();
  known.emplace_back(c, probe.Row(0)[0]);
  found.emplace(std::pair{c, pen}, probe.Row(0)[0]);
  return known.back().second;
}

std::uint8_t TRaster8Target::PenIndex(Colour c) { return Probe(c, true); }
std::uint8_t TRaster8Target::PixelIndex(Colour c) { return Probe(c, false); }
void TRaster8Target::Sync() { GdiFlush(); }

std::unique_ptr<TRaster8> OffscreenRedraw(TDrawingModel& m, const TView& v, int colourMode, bool drawAll, bool fast,
                                          const TRenderIndex* index, int* drawn, bool direct) {
  auto raster = std::make_unique<TRaster8>(v.W, v.H);
  {
    GdiCanvas canvas(raster->Dc());
    DrawEmptyFrame(canvas, v.W, v.H);
    TRaster8Target target(*raster);
    TRenderArgs args = RenderArgsFor(v, colourMode, drawAll, fast);
    if (direct) args.raster = &target;
    const int n = RenderDrawing(m, canvas, args, index);
    if (drawn) *drawn = n;
  }
  GdiFlush();
  return raster;
}

namespace {

bool SameView(const TView& a, const TView& b) {
  return a.g_cadpt.x == b.g_cadpt.x && a.g_cadpt.y == b.g_cadpt.y && a.g_cadw == b.g_cadw && a.g_cadh == b.g_cadh &&
         a.g_DispScale == b.g_DispScale && a.W == b.W && a.H == b.H;
}

}  // namespace

std::shared_ptr<const TRaster8> TPictureCache::Redraw(TDrawingModel& m, const TView& v, int colourMode, bool drawAll,
                                                      const TRenderIndex* index) {
  std::vector<bool> visible;
  visible.reserve(m.LayerAry.size());
  for (const TLayer& l : m.LayerAry) visible.push_back(l.visible);
  for (auto it = entries_.begin(); it != entries_.end(); ++it) {
    if (!SameView(it->view, v) || it->colourMode != colourMode || it->drawAll != drawAll || it->visible != visible)
      continue;
    Entry hit = std::move(*it);  // the most recent first
    entries_.erase(it);
    entries_.push_front(std::move(hit));
    return entries_.front().raster;
  }
  std::shared_ptr<const TRaster8> raster = OffscreenRedraw(m, v, colourMode, drawAll, false, index);
  entries_.push_front(Entry{v, colourMode, drawAll, std::move(visible), raster});
  if (entries_.size() > kKept) entries_.pop_back();
  return raster;
}

namespace {

// The colour-table index of the frame's cyan.
std::uint8_t FrameIndex() {
  static const std::uint8_t index = [] {
    const auto& t = RasterColourTable();
    const RGBQUAD want{BYTE((kFrameCyan >> 16) & 0xFF), BYTE((kFrameCyan >> 8) & 0xFF), BYTE(kFrameCyan & 0xFF), 0};
    for (int i = 1; i < 256; ++i)
      if (t[i].rgbBlue == want.rgbBlue && t[i].rgbGreen == want.rgbGreen && t[i].rgbRed == want.rgbRed) return i;
    return 0;
  }();
  return index;
}

}  // namespace

bool PreviewRaster(TRaster8& out, const TRaster8& last, const TView& drawn, const TView& now) {
  const int W = last.Width(), H = last.Height();
  if (out.Width() != W || out.Height() != H || now.W != W || now.H != H || drawn.W != W || drawn.H != H) return false;
  GdiFlush();
  // The frame stays where it is: only the inside is carried, into the inside.
  const TPixelArea inside{1, 1, W - 1, H - 1};
  ResampleRaster(TRasterIn{last.Row(0), last.Stride()}, inside, TRasterOut{out.Row(0), out.Stride()}, inside,
                 PixelMapBetween(drawn, now), 0);
  const std::uint8_t frame = FrameIndex();
  std::fill(out.Row(0), out.Row(0) + W, frame);
  std::fill(out.Row(H - 1), out.Row(H - 1) + W, frame);
  for (int y = 1; y < H - 1; ++y) out.Row(y)[0] = out.Row(y)[W - 1] = frame;
  return true;
}

}  // namespace tesmar
