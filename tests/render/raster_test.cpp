// The previews' resampling: the map between two views of the same world, and the last picture
// moved, enlarged and shrunk by it.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "render/raster.h"

namespace tesmar {
namespace {

TView ViewAt(double cx, double cy, double w) {
  TView v;
  v.g_cadpt = TAcadPoint{cx, cy, 0};
  v.g_cadw = w, v.g_cadh = w * 0.7;
  v.g_DispScale = 0.95;
  v.W = 200, v.H = 140;
  return v;
}

// The map carries a pixel of one view to the pixel of the other that shows the same world point.
TEST(PixelMap, CarriesEachPixelToTheSameWorldPoint) {
  const TView from = ViewAt(10, 20, 100);
  for (const TView& to : {ViewAt(30, -5, 100), ViewAt(10, 20, 50), ViewAt(-7, 3, 400)}) {
    const TPixelMap m = PixelMapBetween(from, to);
    EXPECT_DOUBLE_EQ(m.scale, PixelSize(from) / PixelSize(to));
    for (TPixel p : {TPixel{0, 0}, TPixel{37, 101}, TPixel{199, 139}}) {
      const TAcadPoint w = ScreenToWorld(p, from);
      const TPixel q = WorldToScreen(TAcadPoint{w.x - to.g_cadpt.x, w.y - to.g_cadpt.y, 0}, PixelSize(to), to.Origin());
      EXPECT_NEAR(p.x * m.scale + m.dx, q.x, 0.5 + 1e-9);
      EXPECT_NEAR(p.y * m.scale + m.dy, q.y, 0.5 + 1e-9);
    }
  }
  // A pan by whole pixels is a pure shift (x right, y down as the pixels go).
  const double s = PixelSize(from);
  const TPixelMap pan = PixelMapBetween(from, ViewAt(10 - 20 * s, 20 + 15 * s, 100));
  EXPECT_DOUBLE_EQ(pan.scale, 1);
  EXPECT_NEAR(pan.dx, 20, 1e-9);
  EXPECT_NEAR(pan.dy, 15, 1e-9);
}

// Pictures as rows of characters: '.' the background, letters the colours.
std::vector<std::string> Resample(const std::vector<std::string>& from, int W, int H, TPixelMap map) {
  std::vector<std::uint8_t> src, dst(static_cast<std::size_t>(W) * H, 0xEE);
  for (const std::string& row : from)
    for (char c : row) src.push_back(c == '.' ? 0 : std::uint8_t(c));
  const int fw = int(from[0].size()), fh = int(from.size());
  ResampleRaster(TRasterIn{src.data(), fw}, TPixelArea{0, 0, fw, fh}, TRasterOut{dst.data(), W}, TPixelArea{0, 0, W, H},
                 map, 0);
  std::vector<std::string> out;
  for (int y = 0; y < H; ++y) {
    std::string row;
    for (int x = 0; x < W; ++x) {
      const std::uint8_t c = dst[static_cast<std::size_t>(y) * W + x];
      row += c == 0 ? '.' : char(c);
    }
    out.push_back(row);
  }
  return out;
}

TEST(ResampleRaster, MovesEnlargesAndShrinks) {
  const std::vector<std::string> picture = {
      "a.....",
      ".bbbb.",
      ".b....",
      ".b..c.",
  };
  struct Case {
    const char* what;
    TPixelMap map;
    int W, H;
    std::vector<std::string> want;
  } cases[] = {
      {"moved right and down: the uncovered band is the background",
       {1, 2, 1}, 6, 4, {"......", "..a...", "...bbb", "...b.."}},
      {"moved left and up", {1, -1, -1}, 6, 4, {"bbbb..", "b.....", "b..c..", "......"}},
      {"enlarged twice about pixel (2, 1)", {2, -2, -1}, 6, 4, {"bbbbbb", "bbbbbb", "b.....", "b....."}},
      {"shrunk to half: the one-pixel lines stay", {0.5, 0, 0}, 3, 3, {"a..", ".bb", ".bc"}},
      {"shrunk far: one pixel of the first colour", {0.1, 1, 1}, 3, 2, {"...", ".a."}},
      {"a map of no size draws nothing", {0, 0, 0}, 3, 2, {"...", "..."}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    EXPECT_EQ(Resample(picture, c.W, c.H, c.map), c.want);
  }
}

}  // namespace
}  // namespace tesmar
