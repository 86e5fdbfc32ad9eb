#include "library/demo_library.h"

#include <gtest/gtest.h>

#include <cstdlib>

#include "base/silent_abort.h"
#include "base/strings.h"
#include "dwg/dwg_preview.h"
#include "dwg/embedded_drawing.h"
#include "dxf/reader.h"
#include "render/postprocess.h"
#include "library/catalogue.h"
#include "tests/support/testdata.h"

namespace tesmar {
namespace {

TEST(DemoLibrary, EveryDrawingReadsBackAsItsPreviewAndTheBrokenOnesAsPlaceholders) {
  test::TempDir dir;
  const int written = WriteDemoLibrary(dir.path());
  CatalogueWalk walk = WalkCatalogue(U16FromPath(dir.path()), u".dwg", nullptr);
  EXPECT_EQ(walk.drawingFolders.size(), 7u);  // ".", valves, pumps, piping/fittings, electrical, catalogue, misc
  int seen = 0, images = 0, none = 0, aborted = 0;
  for (const auto& folder : walk.drawingFolders) {
    for (const auto& name : ListDrawingFiles(DrawingFolderOf(U16FromPath(dir.path()), folder), u".dwg")) {
      ++seen;
      SCOPED_TRACE(std::string(name.begin(), name.end()));
      try {
        auto r = ReadDwgPreviewFile(PathFromU16(DrawingPathOf(U16FromPath(dir.path()), folder, name)));
        if (r.format == DwgPreviewFormat::None) {
          ++none;
          continue;
        }
        ++images;
        auto d = PreviewDimensions(r);
        EXPECT_GE(d.width, 160);
        EXPECT_GE(std::abs(d.height), 100);
      } catch (const SilentAbort&) {
        ++aborted;
      }
    }
  }
  EXPECT_EQ(seen, written);
  EXPECT_EQ(none, 3);     // release 13, WMF entry, header entry only
  EXPECT_EQ(aborted, 2);  // truncated, address past the end
  EXPECT_EQ(images, written - 5);
}

TEST(DemoLibrary, SymbolsAreDrawnInsideTheirPreview) {
  for (int i = 0; i < 40; ++i) {
    SCOPED_TRACE(i);
    for (bool onWhite : {true, false}) {
      RgbImage img = DrawDemoSymbol(i, 160, 100, onWhite);
      const Rgb paper = onWhite ? kRgbWhite : kRgbBlack;
      int ink = 0;
      for (Rgb c : img.pixels) ink += c != paper;
      EXPECT_GT(ink, 50) << "the symbol is visible";
      EXPECT_LT(ink, 160 * 100 / 4) << "and not a filled area";
      EXPECT_EQ(img.At(0, 0), paper);
      EXPECT_EQ(img.At(159, 99), paper);
    }
  }
  EXPECT_NE(DemoSymbolName(0), DemoSymbolName(20));
  EXPECT_NE(DemoSymbolName(20), DemoSymbolName(140));
}

// Each demo drawing carries the drawing its preview shows, as a DXF file that reads without a
// message into three layers, the symbol's geometry and its name.
TEST(DemoLibrary, DrawingsCarryTheDxfTheyWereMadeFrom) {
  test::TempDir dir;
  WriteDemoFolder(dir.path(), 40);
  for (int i : {0, 8, 11, 39}) {
    SCOPED_TRACE(i);
    const auto dxf = FindEmbeddedDxf(test::ReadFile(dir / (DemoSymbolName(i) + ".dwg")));
    ASSERT_TRUE(dxf.has_value());
    test::WriteFile(dir / "d.dxf", *dxf);
    TDrawingModel m;
    std::u16string status;
    ReadDxfFile(m, U16FromPath(dir / "d.dxf"), nullptr, nullptr, status, TextEncoding::Ansi);
    EXPECT_EQ(status, u"");
    EXPECT_EQ(m.LayerAry.size(), 3u);
    ASSERT_EQ(m.TextAry.size(), 1u);
    EXPECT_EQ(m.TextAry[0].str, Ascii16(DemoSymbolName(i)));
    const TBox box = RunPostProcessing(m);
    EXPECT_GT(box.max.x - box.min.x, 10);
    EXPECT_FALSE(m.LineAry.empty() && m.CircleAry.empty() && m.ArcAry.empty());
  }
}

}  // namespace
}  // namespace tesmar
