#include "render/offscreen_win.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <iterator>
#include <random>
#include <set>

#include "dwg/dwg_thumbnail_win.h"
#include "render/canvas_gdi_win.h"
#include "render/colours.h"
#include "render/png_wic_win.h"
#include "tests/support/mixed_drawing.h"

namespace tesmar {
namespace {

std::string Bytes(const TRaster8& r) {
  std::string out;
  for (int y = 0; y < r.Height(); ++y) out.append(reinterpret_cast<const char*>(r.Row(y)), r.Width());
  return out;
}

// The plain pass and the indexed pass (batched poly-polylines, culling, nothing drawn for what
// comes to nothing, one-pixel primitives written into the raster) give the same raster, byte
// for byte, also in the inverting pen mode of the
// layer flash and with its wide pen.
TEST(OffscreenRedraw, IndexedAndPlainPassesGiveTheSamePixels) {
  const TDrawingModel model = test::MixedDrawing(3000, 11);
  struct Case {
    const char* name;
    double zoom;
    TAcadPoint centre;
    bool drawAll, fast;
    int colourMode;
    PenMode mode;
    const char16_t* layer;
    int penWidth;
  };
  const Case cases[] = {
      {"fitted, draw all", 1, {0, 0, 0}, true, false, 0, PenMode::Copy, nullptr, 1},
      {"fitted, fast", 1, {0, 0, 0}, false, true, 0, PenMode::Copy, nullptr, 1},
      {"zoomed 16x on a corner", 16, {-50, 45, 0}, false, false, 0, PenMode::Copy, nullptr, 1},
      {"zoomed 4x, colour mode 2", 4, {10, -10, 0}, false, false, 2, PenMode::Copy, nullptr, 1},
      {"invert mode, one-pixel pen", 2, {0, 0, 0}, false, false, 0, PenMode::Invert, nullptr, 1},
      {"layer flash: selected layer, invert, pen 5", 1, {0, 0, 0}, false, false, 0, PenMode::Invert, u"B", 5},
  };
  const auto index = BuildRenderIndex(model);
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    TView v;
    v.W = 400, v.H = 300, v.g_DispScale = 0.95, v.g_cadpt = c.centre;
    v.g_cadw = v.g_cadh = 130 / c.zoom;
    std::string pictures[2];
    int counts[2] = {};
    for (int indexed = 0; indexed < 2; ++indexed) {
      TDrawingModel m = model;
      TRaster8 raster(v.W, v.H);
      GdiCanvas canvas(raster.Dc());
      DrawEmptyFrame(canvas, v.W, v.H);
      canvas.SetPenMode(c.mode);
      TRenderArgs a = RenderArgsFor(v, c.colourMode, c.drawAll, c.fast);
      a.penWidth = c.penWidth;
      if (c.layer) a.selectedLayer = std::u16string(c.layer);
      TRaster8Target target(raster);
      if (indexed) a.raster = &target;  // used where the pen allows it
      counts[indexed] = RenderDrawing(m, canvas, a, indexed ? index.get() : nullptr);
      GdiFlush();
      pictures[indexed] = Bytes(raster);
    }
    EXPECT_EQ(counts[0], counts[1]);
    EXPECT_GT(counts[0], 0);
    int differing = 0;
    for (std::size_t i = 0; i < pictures[0].size(); ++i) differing += pictures[0][i] != pictures[1][i];
    EXPECT_EQ(differing, 0);
  }
}

// Counts the pixels the pass names itself, so that a case can show it took that way.
class CountingTarget : public TRaster8Target {
 public:
  using TRaster8Target::TRaster8Target;
  int asked = 0;
  std::uint8_t PenIndex(Colour c) override { return ++asked, TRaster8Target::PenIndex(c); }
  std::uint8_t PixelIndex(Colour c) override { return ++asked, TRaster8Target::PixelIndex(c); }
};

// A dense cluster of records smaller than a pixel (lines whose ends round to one pixel or to
// neighbours, tiny circles and arcs) in four colours on two layers, with long lines and a large
// circle drawn through it between them and last in table order: the picture with the one-pixel records
// written into the raster is the plain pass's, byte for byte, with every layer shown, with the
// right half's layer switched off (its pixels then stay black), with the pen colours inverted
// and with every record drawn.
TEST(OffscreenRedraw, ClusterOfTinyRecordsWrittenIntoTheRasterMatchesThePlainPass) {
  TDrawingModel model;
  model.LayerAry = {TLayer{u"0"}, TLayer{u"RIGHT"}};
  const Colour colours[] = {AciToColor(1), AciToColor(3), AciToColor(5), AciToColor(7)};
  std::mt19937 rng(7);
  std::uniform_real_distribution<double> at(0, 10), step(-0.03, 0.03), unit(0, 1);
  for (int i = 0; i < 30000; ++i) {
    const TAcadPoint p{at(rng), at(rng), 0};
    const std::int16_t layer = p.x > 5.2 ? 1 : 0;
    const Colour colour = colours[i % 4];
    switch (i % 3) {
      case 0: {
        TAcadLineBlk l;
        l.st = p, l.ed = {p.x + step(rng), p.y + step(rng), 0}, l.PenColor = colour, l.layindex = layer;
        model.LineAry.push_back(l);
        break;
      }
      case 1: {
        TCircleBlk c;
        c.center = p, c.hankei = 0.004 + 0.01 * unit(rng), c.PenColor = colour, c.layindex = layer;
        model.CircleAry.push_back(c);
        break;
      }
      default: {
        TArcBlk a;
        a.center = p, a.hankei = 0.005 + 0.05 * unit(rng), a.st = 360 * unit(rng), a.ed = a.st + 170 * unit(rng);
        a.PenColor = colour, a.layindex = layer;
        model.ArcAry.push_back(a);
      }
    }
    if (i == 15000) {
      TAcadLineBlk l;
      l.st = {0, 0, 0}, l.ed = {10, 10, 0}, l.PenColor = AciToColor(2);
      model.LineAry.push_back(l);
      l.st = {0, 7, 0}, l.ed = {10, 6.5, 0}, l.PenColor = AciToColor(6);
      model.LineAry.push_back(l);
      TCircleBlk c;
      c.center = {5, 5, 0}, c.hankei = 3, c.PenColor = AciToColor(4);
      model.CircleAry.push_back(c);
    }
  }
  TAcadLineBlk last;  // still waiting to go out when the circles begin
  last.st = {0, 3, 0}, last.ed = {10, 3.2, 0}, last.PenColor = AciToColor(2);
  model.LineAry.push_back(last);
  const auto index = BuildRenderIndex(model);
  TView v;
  v.W = 300, v.H = 200, v.g_DispScale = 0.95, v.g_cadw = 10, v.g_cadh = 10, v.g_cadpt = {5, 5, 0};
  struct Case {
    const char* name;
    bool rightShown;
    int colourMode;
    bool drawAll;
  };
  const Case cases[] = {{"every layer shown", true, 0, false},
                        {"the right half's layer off", false, 0, false},
                        {"pen colours inverted", true, 2, false},
                        {"every record drawn", true, 0, true}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    TDrawingModel m = model;
    m.LayerAry[1].visible = c.rightShown;
    std::unique_ptr<TRaster8> pictures[2];
    int counts[2] = {}, asked = 0;
    for (int direct = 0; direct < 2; ++direct) {
      pictures[direct] = std::make_unique<TRaster8>(v.W, v.H);
      GdiCanvas canvas(pictures[direct]->Dc());
      DrawEmptyFrame(canvas, v.W, v.H);
      CountingTarget target(*pictures[direct]);
      TRenderArgs a = RenderArgsFor(v, c.colourMode, c.drawAll, false);
      if (direct) a.raster = &target;
      counts[direct] = RenderDrawing(m, canvas, a, direct ? index.get() : nullptr);
      GdiFlush();
      if (direct) asked = target.asked;
    }
    EXPECT_GT(asked, 0) << "no pixel was written into the raster";
    EXPECT_EQ(counts[0], counts[1]);
    EXPECT_EQ(Bytes(*pictures[0]), Bytes(*pictures[1]));
    // What the cluster shows: several colours, and the right half only with its layer.
    std::set<Colour> seen;
    int rightLit = 0;
    const TPixel right = WorldToScreen(AcadPointSubXY({5.4, 0, 0}, v.g_cadpt), PixelSize(v), v.Origin());
    for (int y = 1; y < v.H - 1; ++y) {
      for (int x = 1; x < v.W - 1; ++x) {
        const Colour px = pictures[1]->PixelColour(x, y);
        if (px == kBlack) continue;
        seen.insert(px);
        rightLit += x > right.x;
      }
    }
    EXPECT_GE(seen.size(), 4u);
    if (c.rightShown) {
      EXPECT_GT(rightLit, 1000);
    } else {
      // Only the long lines and the large circle, which lie on the shown layer, cross it.
      EXPECT_LT(rightLit, 400);
    }
  }
}

// One small drawing of each kind, drawn as the viewer's first picture and compared with the
// stored picture. Texts may differ in a few pixels where the platform's font rasteriser
// changes; everything else must match exactly. TESMAR_UPDATE_GOLDEN=1 rewrites the picture.
TEST(OffscreenRedraw, DrawingOfEachKindMatchesTheStoredPicture) {
  TDrawingModel m;
  m.LayerAry = {TLayer{u"0"}, TLayer{u"HIDDEN"}};
  m.LayerAry[1].visible = false;
  auto line = [&](TAcadPoint a, TAcadPoint b, int aci, TPenStyle style = psSolid) {
    TAcadLineBlk l;
    l.st = a, l.ed = b, l.PenColor = AciToColor(aci), l.PenStyle = style;
    m.LineAry.push_back(l);
  };
  line({0, 0, 0}, {100, 0, 0}, 1);
  line({0, 0, 0}, {0, 60, 0}, 3);
  line({0, 60, 0}, {100, 60, 0}, 5, psDot);
  line({100, 0, 0}, {100, 60, 0}, 6, psDashDot);
  line({10, 10, 0}, {90, 50, 0}, 7);
  line({20, 50, 0}, {20.001, 50.001, 0}, 2);  // falls on one pixel
  m.LineAry.push_back(m.LineAry.back());
  m.LineAry.back().layindex = 1, m.LineAry.back().ed = {80, 10, 0};  // on the hidden layer
  TCircleBlk c;
  c.center = {30, 30, 0}, c.hankei = 12, c.PenColor = AciToColor(4);
  m.CircleAry.push_back(c);
  c.center = {70, 20, 0}, c.hankei = 0.05, c.PenColor = AciToColor(7);  // below a pixel
  m.CircleAry.push_back(c);
  TArcBlk a;
  a.center = {70, 35, 0}, a.hankei = 15, a.st = 300, a.ed = 60, a.PenColor = AciToColor(2);  // through 0
  m.ArcAry.push_back(a);
  a.center = {50, 30, 0}, a.hankei = 8, a.st = 90, a.ed = 270, a.PenColor = AciToColor(30);
  m.ArcAry.push_back(a);
  TTextBlk t;
  t.pt10 = {5, 45, 0}, t.code40 = 5, t.str = u"%%c20 図面", t.PenColor = AciToColor(7);
  m.TextAry.push_back(t);
  t.pt10 = {60, 5, 0}, t.code40 = 4, t.code50 = 30, t.str = u"ABC", t.PenColor = AciToColor(1);
  m.TextAry.push_back(t);
  TTextBlk mt;
  mt.mtflag = true, mt.pt10 = {50, 58, 0}, mt.code40 = 3, mt.code71 = 2, mt.str = u"上\\P{\\fArial;下}";
  mt.PenColor = AciToColor(3);
  m.TextAry.push_back(mt);

  TView v;
  v.W = 320, v.H = 240, v.g_DispScale = 0.95, v.g_cadw = 100, v.g_cadh = 60, v.g_cadpt = {50, 30, 0};
  const auto index = BuildRenderIndex(m);
  int drawn = 0;
  const auto raster = OffscreenRedraw(m, v, 0, true, false, index.get(), &drawn);
  EXPECT_EQ(drawn, 13);
  EXPECT_EQ(raster->PixelColour(0, 0), kFrameCyan);
  EXPECT_EQ(raster->PixelColour(319, 239), kFrameCyan);
  const RgbImage picture = raster->ToRgb();
  const std::filesystem::path golden = std::filesystem::path(TESMAR_SOURCE_DIR) / "tests/render/golden/kinds.png";
  if (const char* update = std::getenv("TESMAR_UPDATE_GOLDEN"); update && std::string(update) == "1") {
    WritePngWic(golden, picture);
  }
  std::ifstream in(golden, std::ios::binary);
  ASSERT_TRUE(in) << "missing " << golden.string();
  const std::string bytes{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
  const RgbImage expected = DecodePreviewImage(bytes);
  ASSERT_EQ(expected.width, picture.width);
  ASSERT_EQ(expected.height, picture.height);
  int differing = 0;
  for (std::size_t i = 0; i < picture.pixels.size(); ++i) differing += picture.pixels[i] != expected.pixels[i];
  EXPECT_LE(differing, 12) << "pixels differing from the stored picture";
}

}  // namespace
}  // namespace tesmar
