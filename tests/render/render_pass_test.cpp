#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <limits>
#include <set>

#include "render/canvas_recording.h"
#include "render/colours.h"
#include "render/render_pass.h"
#include "render/view.h"
#include "tests/support/mixed_drawing.h"

namespace tesmar {
namespace {

TEST(NearestIntTest, HalvesGoToEvenAndTheRangeSaturates) {
  constexpr auto kMin = std::numeric_limits<std::int32_t>::min();
  constexpr auto kMax = std::numeric_limits<std::int32_t>::max();
  const struct {
    double v;
    std::int32_t want;
  } cases[] = {
      {0.5, 0},          {1.5, 2},          {2.5, 2},           {-0.5, 0},        {-1.5, -2},
      {-2.5, -2},        {0.49999, 0},      {-3.7, -4},         {1e300, kMax},    {-1e300, kMin},
      {2147483647.3, kMax}, {2147483647.6, kMax}, {-2147483648.4, kMin}, {-2147483648.6, kMin},
      {std::numeric_limits<double>::infinity(), kMax}, {-std::numeric_limits<double>::infinity(), kMin},
      {std::numeric_limits<double>::quiet_NaN(), 0},
  };
  for (const auto& c : cases) EXPECT_EQ(NearestInt(c.v), c.want) << c.v;
}

TEST(ViewTransform, PixelSizeAndViewRectangle) {
  struct Case {
    double w, h;
    int W, H;
    double scale, s;
  };
  const Case cases[] = {
      {100, 50, 800, 600, 1, 0.125},               // the width governs
      {100, 50, 800, 600, 0.95, 0.125 / 0.95},     // a margin around the view
      {100, 100, 800, 600, 1, 100.0 / 600},        // the height governs
      {0, 0, 800, 600, 1, 1},                      // empty view
      {0, 10, 800, 600, 0.5, 2},                   // one side zero
  };
  for (const auto& c : cases) {
    EXPECT_DOUBLE_EQ(PixelSize(c.w, c.h, c.W, c.H, c.scale), c.s) << c.w << "x" << c.h << " scale " << c.scale;
  }
  const TBox r = ViewRect(TAcadPoint{10, 20, 0}, 0.125, 800, 600);
  EXPECT_DOUBLE_EQ(r.min.x, -40);
  EXPECT_DOUBLE_EQ(r.max.x, 60);
  EXPECT_DOUBLE_EQ(r.min.y, 20 - 37.5);
  EXPECT_DOUBLE_EQ(r.max.y, 20 + 37.5);
}

TEST(ViewTransform, WorldToScreenRoundsHalvesToEvenAndFlipsY) {
  const TPixel o{400, 300};
  struct Case {
    double x, y;
    TPixel px;
  };
  const Case cases[] = {
      {0.0625, 0, {400, 300}},     // half a pixel: to the even 0
      {0.1875, 0, {402, 300}},     // one and a half: to the even 2
      {-0.0625, 0.1875, {400, 298}},
      {0.125, -0.25, {401, 302}},  // y down on the screen
      {1e300, -1e300, {2147483647, 2147483647}},  // beyond 32 bits: saturated, not wrapped
  };
  for (const auto& c : cases) {
    EXPECT_EQ(WorldToScreen(TAcadPoint{c.x, c.y, 0}, 0.125, o), c.px) << c.x << "," << c.y;
  }
}

TEST(ViewTransform, ScreenToWorldWithEvenAndOddHeight) {
  const TAcadPoint centre{10, 20, 0};
  const double s = 0.125;
  TAcadPoint p = ScreenToWorld(TPixel{400, 300}, centre, 100, 50, 600, 800, 1);
  EXPECT_DOUBLE_EQ(p.x, 10);
  EXPECT_DOUBLE_EQ(p.y, 20);
  p = ScreenToWorld(TPixel{400, 300}, centre, 100, 50, 601, 800, 1);
  EXPECT_DOUBLE_EQ(p.x, 10);
  EXPECT_DOUBLE_EQ(p.y, 20 + s);
  p = ScreenToWorld(TPixel{0, 0}, centre, 100, 50, 600, 800, 1);
  EXPECT_DOUBLE_EQ(p.x, 10 - 50);
  EXPECT_DOUBLE_EQ(p.y, 20 + 37.5);
  p = ScreenToWorld(TPixel{5, 5}, centre, 0, 0, 600, 800, 1);
  EXPECT_EQ(p, (TAcadPoint{0, 0, 0}));
}

// A model with layers "0" (visible), "OFF" (switched off) and "B" (visible).
TDrawingModel Layers() {
  TDrawingModel m;
  m.LayerAry = {TLayer{u"0"}, TLayer{u"OFF"}, TLayer{u"B"}};
  m.LayerAry[1].visible = false;
  return m;
}

TAcadLineBlk Line(TAcadPoint a, TAcadPoint b, int layer = 0, std::uint32_t colour = kWhite) {
  TAcadLineBlk l;
  l.st = a, l.ed = b, l.layindex = static_cast<std::int16_t>(layer), l.PenColor = colour;
  return l;
}
TCircleBlk Circle(TAcadPoint c, double r, int layer = 0) {
  TCircleBlk k;
  k.center = c, k.hankei = r, k.layindex = static_cast<std::int16_t>(layer), k.PenColor = kWhite;
  return k;
}
TArcBlk Arc(TAcadPoint c, double r, double st, double ed, int layer = 0) {
  TArcBlk a;
  a.center = c, a.hankei = r, a.st = st, a.ed = ed, a.layindex = static_cast<std::int16_t>(layer), a.PenColor = kWhite;
  return a;
}
TTextBlk Text(TAcadPoint p, double h, std::u16string s, int layer = 0) {
  TTextBlk t;
  t.pt10 = p, t.code40 = h, t.str = std::move(s), t.layindex = static_cast<std::int16_t>(layer), t.PenColor = kWhite;
  return t;
}

// 800 x 600 image of the world rectangle centre (0, 0), 100 x 75: s = 0.125.
TRenderArgs Args() {
  TRenderArgs a;
  a.width = 100, a.height = 75, a.W = 800, a.H = 600, a.origin = {400, 300}, a.dispScale = 1;
  return a;
}

// Every case runs through the plain pass and the indexed one; both must draw the same.
std::vector<std::string> Render(TDrawingModel& m, const TRenderArgs& a, int* count, bool indexed,
                                std::vector<std::string> ops = {}) {
  RecordingCanvas canvas;
  const auto index = indexed ? BuildRenderIndex(m) : nullptr;
  *count = RenderDrawing(m, canvas, a, index.get());
  return ops.empty() ? canvas.Primitives() : canvas.Log(ops);
}

TEST(RenderDrawing, ArcsCirclesAndTheirPixelRules) {
  struct Case {
    const char* name;
    TDrawingModel model;
    std::vector<std::string> drawn;
  };
  auto with = [](auto fill) {
    TDrawingModel m = Layers();
    fill(m);
    return m;
  };
  const std::string pen = "@16777215/1/0/0";
  const std::vector<Case> cases = {
      {"arc 350 to 10 runs through 0 degrees", with([](TDrawingModel& m) { m.ArcAry = {Arc({0, 0, 0}, 10, 350, 10)}; }),
       {"Arc(320,220,480,380,479,314,479,286)" + pen}},
      {"an arc of 0.8 degrees is its chord", with([](TDrawingModel& m) { m.ArcAry = {Arc({0, 0, 0}, 10, 10, 10.8)}; }),
       {"Line(479,286,479,285)" + pen}},
      {"a circle of half a pixel is the pixel at its centre",
       with([](TDrawingModel& m) { m.CircleAry = {Circle({1, 1, 0}, 0.0625)}; }), {"SetPixel(408,292,16777215)"}},
      {"a circle is the full ellipse in its box", with([](TDrawingModel& m) { m.CircleAry = {Circle({0, 0, 0}, 1)}; }),
       {"Arc(392,292,408,308,408,300,408,300)" + pen}},
      {"a short arc whose ends share a pixel is the centre pixel",
       with([](TDrawingModel& m) { m.ArcAry = {Arc({0, 0, 0}, 0.125, 10, 15)}; }), {"SetPixel(400,300,16777215)"}},
      {"an arc of 359.8 degrees whose ends share a pixel is drawn whole",
       with([](TDrawingModel& m) { m.ArcAry = {Arc({0, 0, 0}, 10, 0, 359.8)}; }),
       {"Arc(320,220,480,380,480,300,480,300)" + pen}},
  };
  for (const auto& c : cases) {
    for (bool indexed : {false, true}) {
      SCOPED_TRACE(std::string(c.name) + (indexed ? " (indexed)" : " (plain)"));
      TDrawingModel m = c.model;
      int count = 0;
      TRenderArgs a = Args();
      EXPECT_EQ(Render(m, a, &count, indexed), c.drawn);
      EXPECT_EQ(count, 1);
    }
  }
  TDrawingModel m = with([](TDrawingModel& m) { m.ArcAry = {Arc({0, 0, 0}, 10, 350, 10)}; });
  int count = 0;
  Render(m, Args(), &count, false);
  EXPECT_EQ(m.ArcAry[0].ed, 370) << "the end angle is raised in the model";
  Render(m, Args(), &count, true);
  EXPECT_EQ(m.ArcAry[0].ed, 370) << "and only once";
}

TEST(RenderDrawing, SkipRulesLayersViewAndFastPass) {
  struct Case {
    const char* name;
    std::function<void(TDrawingModel&)> fill;
    std::function<void(TRenderArgs&)> args;
    std::vector<std::string> drawn;  // LineTo, SetPixel, Arc and TextOut calls, poly-polylines split
    int count;
  };
  const std::string pen = "@16777215/1/0/0";
  auto five = [](TDrawingModel& m) {
    for (int i = 0; i < 5; ++i) m.LineAry.push_back(Line({double(i), 0, 0}, {double(i), 8, 0}));
    m.TextAry = {Text({0, 0, 0}, 4, u"T")};
  };
  const std::vector<Case> cases = {
      {"fast: lines 0, 2, 4 and no text", five, [](TRenderArgs& a) { a.fast = true; },
       {"Line(400,300,400,236)" + pen, "Line(416,300,416,236)" + pen, "Line(432,300,432,236)" + pen}, 3},
      {"zero view size draws nothing", five, [](TRenderArgs& a) { a.width = a.height = 0; }, {}, 0},
      {"display scale 0 draws nothing", five, [](TRenderArgs& a) { a.dispScale = 0; }, {}, 0},
      {"circle of radius 100 through the small view is not drawn",
       [](TDrawingModel& m) { m.CircleAry = {Circle({0, 0, 0}, 100)}; },
       [](TRenderArgs& a) { a.centre = {0, 100, 0}, a.width = 10, a.height = 10, a.W = a.H = 100, a.origin = {50, 50}; },
       {}, 0},
      {"a circle whose centre is in view is drawn", [](TDrawingModel& m) { m.CircleAry = {Circle({0, 99, 0}, 100)}; },
       [](TRenderArgs& a) { a.centre = {0, 100, 0}, a.width = 10, a.height = 10, a.W = a.H = 100, a.origin = {50, 50}; },
       {"Arc(-950,-940,1050,1060,1050,60,1050,60)" + pen}, 1},
      {"code60, code67, an off layer and an invisible attribute are skipped",
       [](TDrawingModel& m) {
         m.LineAry = {Line({0, 0, 0}, {1, 0, 0}), Line({0, 0, 0}, {2, 0, 0}), Line({0, 0, 0}, {3, 0, 0}, 1),
                      Line({0, 0, 0}, {4, 0, 0}, 7)};
         m.LineAry[0].code60 = 1;
         m.LineAry[1].code67 = 1;
         m.TextAry = {Text({0, 0, 0}, 4, u"A"), Text({0, 0, 0}, 4, u"B")};
         m.TextAry[0].code70 = 1;
       },
       [](TRenderArgs&) {}, {"Line(400,300,432,300)" + pen, "TextOut(400,261,\"B\")@16777215/-44/30/0"}, 2},
      {"outside the view: not drawn; draw all: drawn",
       [](TDrawingModel& m) { m.LineAry = {Line({100, 100, 0}, {101, 100, 0}), Line({0, 0, 0}, {1, 0, 0})}; },
       [](TRenderArgs&) {}, {"Line(400,300,408,300)" + pen}, 1},
      {"selected layer: its records, off and out of view; nothing else",
       [](TDrawingModel& m) {
         m.LineAry = {Line({0, 0, 0}, {1, 0, 0}), Line({100, 0, 0}, {101, 0, 0}, 1), Line({0, 0, 0}, {2, 0, 0}, 1)};
         m.TextAry = {Text({0, 0, 0}, 4, u"A", 1)};
       },
       [](TRenderArgs& a) { a.selectedLayer = u"OFF", a.penWidth = 5; },
       {"Line(1200,300,1208,300)@16777215/5/0/0", "Line(400,300,416,300)@16777215/5/0/0",
        "TextOut(400,261,\"A\")@16777215/-44/30/0"},
       3},
      {"selected layer without records draws nothing",
       [](TDrawingModel& m) { m.LineAry = {Line({0, 0, 0}, {1, 0, 0})}; },
       [](TRenderArgs& a) { a.selectedLayer = u"B"; }, {}, 0},
      {"an unknown selected layer draws as none", [](TDrawingModel& m) { m.LineAry = {Line({0, 0, 0}, {1, 0, 0})}; },
       [](TRenderArgs& a) { a.selectedLayer = u"NONE"; }, {"Line(400,300,408,300)" + pen}, 1},
      {"colour mode 1 draws all in the inverse of the background",
       [](TDrawingModel& m) { m.LineAry = {Line({0, 0, 0}, {1, 0, 0}, 0, 0x0000FF)}; },
       [](TRenderArgs& a) { a.colourMode = 1; }, {"Line(400,300,408,300)" + pen}, 1},
  };
  for (const auto& c : cases) {
    for (bool indexed : {false, true}) {
      SCOPED_TRACE(std::string(c.name) + (indexed ? " (indexed)" : " (plain)"));
      TDrawingModel m = Layers();
      c.fill(m);
      TRenderArgs a = Args();
      c.args(a);
      int count = -1;
      EXPECT_EQ(Render(m, a, &count, indexed), c.drawn);
      EXPECT_EQ(count, c.count);
    }
  }
  TDrawingModel m = Layers();
  m.LineAry = {Line({100, 100, 0}, {101, 100, 0})};
  TRenderArgs a = Args();
  a.drawAll = true;
  int count = 0;
  EXPECT_EQ(Render(m, a, &count, false), std::vector<std::string>{"Line(1200,-500,1208,-500)" + pen});
  EXPECT_EQ(count, 1);
}

TEST(RenderDrawing, PenPropertiesAreSetOnlyWhenTheyDiffer) {
  TDrawingModel m = Layers();
  m.LineAry = {Line({0, 0, 0}, {1, 0, 0}, 0, 0x0000FF), Line({0, 1, 0}, {1, 1, 0}, 0, 0x0000FF),
               Line({0, 2, 0}, {1, 2, 0}, 0, 0x00FF00)};
  m.LineAry[2].PenStyle = psDot;
  for (bool indexed : {false, true}) {
    SCOPED_TRACE(indexed ? "indexed" : "plain");
    RecordingCanvas canvas;
    const auto index = indexed ? BuildRenderIndex(m) : nullptr;
    RenderDrawing(m, canvas, Args(), index.get());
    EXPECT_EQ(canvas.Log({"SetPenColour", "SetPenWidth", "SetPenStyle"}),
              (std::vector<std::string>{"SetPenColour(255)", "SetPenColour(65280)", "SetPenStyle(2)"}));
  }
}

// Zoomed in so far that the ends of long lines lie beyond any 32-bit pixel: the part that
// crosses the view is still drawn where it crosses.
TEST(RenderDrawing, ExtremeZoomStillDrawsTheVisiblePartOfALongLine) {
  TDrawingModel m = Layers();
  const double r = 1e3, d = r / std::sqrt(2.0);
  m.LineAry = {Line({-1e4, 0, 0}, {1e4, 0, 0}), Line({-1e4, -1e4, 0}, {1e4, 1e4, 0})};
  m.CircleAry = {Circle({-d, -d, 0}, r)};  // passes through the view centre
  TRenderArgs a = Args();
  a.width = 8e-4, a.height = 6e-4;  // s = 1e-6: the line ends are 10^10 pixels away
  for (bool indexed : {false, true}) {
    SCOPED_TRACE(indexed ? "indexed" : "plain");
    TDrawingModel copy = m;
    RecordingCanvas canvas;
    const auto index = indexed ? BuildRenderIndex(copy) : nullptr;
    EXPECT_EQ(RenderDrawing(copy, canvas, a, index.get()), 3);
    std::vector<std::array<long long, 4>> segments;
    for (const std::string& p : canvas.Primitives()) {
      std::array<long long, 4> v{};
      if (std::sscanf(p.c_str(), "Line(%lld,%lld,%lld,%lld)", &v[0], &v[1], &v[2], &v[3]) == 4) segments.push_back(v);
      EXPECT_EQ(p.find("Arc("), std::string::npos) << "a circle of 10^9 pixels is not handed to the platform";
    }
    auto wide = [](const auto& s) { return std::min(s[0], s[2]) < 0 && std::max(s[0], s[2]) > 800; };
    EXPECT_TRUE(std::any_of(segments.begin(), segments.end(),
                            [&](const auto& s) { return wide(s) && s[1] == 300 && s[3] == 300; }))
        << "the horizontal line along row 300 across the whole image";
    EXPECT_TRUE(std::any_of(segments.begin(), segments.end(), [&](const auto& s) {
      return wide(s) && s[1] - 300 == -(s[0] - 400) && s[3] - 300 == -(s[2] - 400);
    })) << "the diagonal through the centre pixel";
    int throughCentre = 0;  // segments passing within 1.5 pixels of the centre pixel
    for (const auto& s : segments) {
      const double dx = double(s[2] - s[0]), dy = double(s[3] - s[1]);
      const double t = std::clamp(((400.0 - s[0]) * dx + (300.0 - s[1]) * dy) / (dx * dx + dy * dy), 0.0, 1.0);
      if (std::hypot(s[0] + t * dx - 400, s[1] + t * dy - 300) <= 1.5) ++throughCentre;
      for (long long v : s) EXPECT_LE(std::llabs(v), 1LL << 27);
    }
    EXPECT_GE(throughCentre, 3) << "both lines and a chord of the circle";
  }
}

// On a drawing of every kind the indexed pass must draw what the plain pass draws, in the same
// order, leaving out only what draws no pixel.
TEST(RenderDrawing, IndexedPassDrawsWhatThePlainPassDraws) {
  const TDrawingModel m = test::MixedDrawing(2000, 7);
  struct View {
    const char* name;
    std::function<void(TRenderArgs&)> set;
  };
  const std::vector<View> views = {
      {"fitted, draw all", [](TRenderArgs& a) { a.drawAll = true; }},
      {"fitted", [](TRenderArgs&) {}},
      {"fitted, fast", [](TRenderArgs& a) { a.fast = true; }},
      {"zoomed 16 times on a corner",
       [](TRenderArgs& a) { a.width /= 16, a.height /= 16, a.centre = {-40, 30, 0}; }},
      {"zoomed, fast, colour mode 2",
       [](TRenderArgs& a) { a.width /= 16, a.height /= 16, a.centre = {20, -10, 0}, a.fast = true, a.colourMode = 2; }},
      {"selected layer, wide pen", [](TRenderArgs& a) { a.selectedLayer = u"B", a.penWidth = 5; }},
  };
  // What the indexed pass may leave out: lines of no length, primitives wholly outside the
  // image, a pixel set again right after it was set, and a line or arc that the same solid
  // one-pixel pen has drawn already since it was last set (a line whose ends are neighbours
  // draws its first pixel only).
  auto visible = [](std::vector<std::string> prims) {
    std::vector<std::string> out;
    std::string pen;
    std::set<std::string> seen;
    for (const std::string& p : prims) {
      long long v[8] = {};
      const std::size_t at = p.find('@');
      const bool thinSolid = at != std::string::npos && p.substr(p.find('/', at)) == "/1/0/0";
      if (p.rfind("Line(", 0) == 0 || p.rfind("Arc(", 0) == 0) {
        if (p.substr(at) != pen) seen.clear(), pen = p.substr(at);
      } else if (p.rfind("TextOut(", 0) == 0) {
        seen.clear();
      }
      if (std::sscanf(p.c_str(), "Line(%lld,%lld,%lld,%lld)", &v[0], &v[1], &v[2], &v[3]) == 4 && thinSolid) {
        if (v[0] == v[2] && v[1] == v[3]) continue;
        if (std::max(v[0], v[2]) < -1 || std::min(v[0], v[2]) >= 801 || std::max(v[1], v[3]) < -1 ||
            std::min(v[1], v[3]) >= 601)
          continue;
        const bool onePixel = std::llabs(v[0] - v[2]) <= 1 && std::llabs(v[1] - v[3]) <= 1;
        if (!seen.insert(onePixel ? "px" + std::to_string(v[0]) + "," + std::to_string(v[1]) : p).second) continue;
      }
      if (std::sscanf(p.c_str(), "SetPixel(%lld,%lld,%lld", &v[0], &v[1], &v[2]) == 3) {
        if (v[0] < 0 || v[1] < 0 || v[0] >= 800 || v[1] >= 600) continue;
        if (!out.empty() && out.back() == p) continue;
        if (pen.empty() || "@" + std::to_string(v[2]) != pen.substr(0, pen.find('/'))) seen.clear();
      }
      if (std::sscanf(p.c_str(), "Arc(%lld,%lld,%lld,%lld", &v[0], &v[1], &v[2], &v[3]) == 4 && thinSolid) {
        if (std::max(v[0], v[2]) < -1 || std::min(v[0], v[2]) >= 801 || std::max(v[1], v[3]) < -1 ||
            std::min(v[1], v[3]) >= 601)
          continue;
        if (!seen.insert(p).second) continue;
      }
      out.push_back(p);
    }
    return out;
  };
  for (const auto& v : views) {
    SCOPED_TRACE(v.name);
    TRenderArgs a = Args();
    a.width = 130, a.height = 130;
    v.set(a);
    TDrawingModel plainModel = m, indexedModel = m;
    int plainCount = 0, indexedCount = 0;
    const auto plain = visible(Render(plainModel, a, &plainCount, false));
    const auto indexed = visible(Render(indexedModel, a, &indexedCount, true));
    EXPECT_EQ(plainCount, indexedCount);
    EXPECT_GT(plain.size(), 10u);
    EXPECT_EQ(plain, indexed);
    for (std::size_t i = 0; i < m.ArcAry.size(); ++i) ASSERT_EQ(plainModel.ArcAry[i].ed, indexedModel.ArcAry[i].ed);
  }
}

}  // namespace
}  // namespace tesmar
