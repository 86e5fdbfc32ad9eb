// A small DXF with every entity kind the viewer draws, read and post-processed as the viewer
// does, and the drawable tables it leaves.
#include <gtest/gtest.h>

#include "base/strings.h"
#include "dxf/reader.h"
#include "render/colours.h"
#include "render/postprocess.h"
#include "tests/support/dxf_fixture.h"
#include "tests/support/point_expect.h"
#include "tests/support/testdata.h"

namespace tesmar {
namespace {

using test::ExpectNear;

// Group-code/value pairs, one per line each, as a DXF file holds them.
std::string Dxf(std::initializer_list<std::pair<int, const char*>> pairs) {
  std::string s;
  for (const auto& [code, value] : pairs) s += std::to_string(code) + "\r\n" + value + "\r\n";
  return s;
}

const std::string kEveryKind = Dxf({
    {0, "SECTION"}, {2, "HEADER"}, {9, "$ACADVER"}, {1, "AC1015"}, {0, "ENDSEC"},
    {0, "SECTION"}, {2, "TABLES"}, {0, "TABLE"}, {2, "LAYER"},
    {0, "LAYER"}, {2, "0"}, {62, "7"}, {6, "CONTINUOUS"},
    {0, "LAYER"}, {2, "WALL"}, {62, "1"}, {6, "HIDDEN"},
    {0, "LAYER"}, {2, "OFF"}, {62, "-3"}, {6, "CONTINUOUS"},
    {0, "ENDTAB"}, {0, "ENDSEC"},
    {0, "SECTION"}, {2, "BLOCKS"},
    // DOOR: a line, a bulged polyline, an arc, a text and a nested KNOB.
    {0, "BLOCK"}, {2, "DOOR"}, {8, "0"}, {10, "0"}, {20, "0"}, {30, "0"},
    {0, "LINE"}, {8, "0"}, {10, "0"}, {20, "0"}, {11, "0"}, {21, "2"},
    {0, "LWPOLYLINE"}, {8, "0"}, {90, "2"}, {70, "0"}, {10, "0"}, {20, "0"}, {42, "1"}, {10, "2"}, {20, "0"},
    {0, "ARC"}, {8, "0"}, {10, "0"}, {20, "0"}, {40, "2"}, {50, "300"}, {51, "350"},
    {0, "TEXT"}, {8, "0"}, {10, "1"}, {20, "1"}, {40, "0.5"}, {1, "D1"},
    {0, "INSERT"}, {8, "0"}, {2, "KNOB"}, {10, "2"}, {20, "1"},
    {0, "ENDBLK"},
    {0, "BLOCK"}, {2, "KNOB"}, {8, "0"}, {10, "0"}, {20, "0"},
    {0, "CIRCLE"}, {8, "0"}, {10, "0"}, {20, "0"}, {40, "0.1"},
    {0, "ENDBLK"},
    // The graphics of a dimension: a line and an arrowhead.
    {0, "BLOCK"}, {2, "*D1"}, {8, "0"}, {10, "0"}, {20, "0"},
    {0, "LINE"}, {8, "0"}, {10, "50"}, {20, "-10"}, {11, "60"}, {21, "-10"},
    {0, "SOLID"}, {8, "0"}, {10, "50"}, {20, "-10"}, {11, "51"}, {21, "-9.8"}, {12, "51"}, {22, "-10.2"},
    {13, "51"}, {23, "-10.2"},
    {0, "ENDBLK"},
    {0, "ENDSEC"},
    {0, "SECTION"}, {2, "ENTITIES"},
    {0, "LINE"}, {8, "WALL"}, {10, "0"}, {20, "0"}, {11, "100"}, {21, "0"},
    {0, "LINE"}, {8, "OFF"}, {10, "-500"}, {20, "0"}, {11, "0"}, {21, "0"},
    {0, "CIRCLE"}, {8, "0"}, {10, "10"}, {20, "10"}, {40, "5"},
    {0, "CIRCLE"}, {8, "0"}, {10, "10"}, {20, "30"}, {40, "5"}, {210, "0"}, {220, "0"}, {230, "-1"},
    {0, "ARC"}, {8, "0"}, {10, "30"}, {20, "10"}, {40, "5"}, {50, "0"}, {51, "90"},
    {0, "LWPOLYLINE"}, {8, "0"}, {90, "3"}, {70, "1"}, {10, "40"}, {20, "0"}, {10, "50"}, {20, "0"},
    {10, "50"}, {20, "10"},
    {0, "POLYLINE"}, {8, "0"}, {66, "1"}, {10, "0"}, {20, "0"}, {70, "0"},
    {0, "VERTEX"}, {8, "0"}, {10, "60"}, {20, "0"},
    {0, "VERTEX"}, {8, "0"}, {10, "70"}, {20, "0"},
    {0, "SEQEND"},
    {0, "TEXT"}, {8, "0"}, {10, "0"}, {20, "-5"}, {40, "2"}, {1, "%%c10"},
    {0, "MTEXT"}, {8, "0"}, {10, "0"}, {20, "-10"}, {40, "2"}, {41, "20"}, {71, "1"}, {3, "ab"}, {1, "cd"},
    {0, "INSERT"}, {8, "WALL"}, {2, "DOOR"}, {10, "80"}, {20, "20"}, {41, "-1"}, {42, "1"}, {43, "1"},
    {0, "INSERT"}, {8, "0"}, {2, "NOSUCHBLOCK"}, {10, "0"}, {20, "0"},
    {0, "3DFACE"}, {8, "0"}, {10, "0"}, {20, "40"}, {11, "5"}, {21, "40"}, {12, "5"}, {22, "45"},
    {0, "ELLIPSE"}, {8, "0"}, {10, "0"}, {20, "60"}, {11, "10"}, {21, "0"}, {40, "0.5"}, {41, "0"},
    {42, "6.283185307179586"},
    {0, "SOLID"}, {8, "0"}, {10, "20"}, {20, "40"}, {11, "25"}, {21, "40"}, {12, "20"}, {22, "45"},
    {13, "25"}, {23, "45"},
    {0, "LEADER"}, {8, "0"}, {76, "2"}, {10, "30"}, {20, "40"}, {30, "0"}, {10, "35"}, {20, "45"}, {30, "0"},
    {41, "3"},
    {0, "SPLINE"}, {8, "0"}, {70, "8"}, {71, "3"}, {73, "3"}, {10, "40"}, {20, "40"}, {30, "0"},
    {10, "45"}, {20, "50"}, {30, "0"}, {10, "50"}, {20, "40"}, {30, "0"},
    {0, "DIMENSION"}, {8, "0"}, {2, "*D1"}, {10, "60"}, {20, "-10"}, {70, "0"},
    {0, "ENDSEC"}, {0, "EOF"},
});

TEST(Pipeline, EveryEntityKindEndsInTheDrawableTables) {
  test::TempDir dir;
  test::WriteFile(dir / "every.dxf", kEveryKind);
  TDrawingModel m;
  test::RecordingReport report;
  std::u16string status;
  EXPECT_EQ(ReadDxfFile(m, U16FromPath(dir / "every.dxf"), nullptr, &report, status, TextEncoding::Ansi), u"AC1015");
  ASSERT_TRUE(status.empty()) << Utf16ToUtf8(status);
  ASSERT_TRUE(report.messages.empty());

  const TBox extents = RunPostProcessing(m);

  // Lines: 2 LINEs, 3 polyline, 1 old-style polyline, 36 ellipse, 37 tilted circle, 1 from the
  // block DOOR, 3 face, 1 + 1 leader, 4 solid outline, 28 chords of the spline's curve (it
  // turns by 127 degrees), 1 + 3 dimension block (the arrowhead's outline).
  EXPECT_EQ(m.LineAry.size(), 2u + 3u + 1u + 36u + 37u + 1u + 3u + 2u + 4u + 28u + 4u);
  // Fills: the dimension's arrowhead and the solid.
  ASSERT_EQ(m.FillAry.size(), 2u);
  EXPECT_EQ(m.FillAry[0].counts, (std::vector<std::uint32_t>{3}));
  EXPECT_EQ(m.FillAry[1].counts, (std::vector<std::uint32_t>{4}));
  // Circles: 2 of the drawing (one replaced by lines) and the nested KNOB.
  ASSERT_EQ(m.CircleAry.size(), 3u);
  EXPECT_EQ(m.CircleAry[1].code67, -1);
  ExpectNear(m.CircleAry[2].center, {78, 21, 0});  // KNOB at (2, 1) in the mirrored DOOR
  // Arcs: the drawing's, then DOOR's own arc and its polyline bulge, mirrored.
  ASSERT_EQ(m.ArcAry.size(), 3u);
  EXPECT_NEAR(m.ArcAry[1].st, 190, 1e-9);
  EXPECT_NEAR(m.ArcAry[1].ed, 240, 1e-9);
  const TArcBlk& bulge = m.ArcAry[2];
  ExpectNear(bulge.center, {79, 20, 0});
  EXPECT_NEAR(bulge.st, 180, 1e-9);  // the half circle below its chord, mirrored: still below
  EXPECT_NEAR(bulge.ed, 0, 1e-9);
  // Texts: TEXT, MTEXT (groups 3 and 1 joined) and DOOR's text.
  ASSERT_EQ(m.TextAry.size(), 3u);
  EXPECT_EQ(m.TextAry[1].str, u"abcd");
  ExpectNear(m.TextAry[2].pt10, {79, 21, 0});
  EXPECT_EQ(m.TextAry[2].layer, u"WALL");
  EXPECT_EQ(m.TextAry[2].color, 1);

  // Only the drawable tables are left.
  EXPECT_TRUE(m.LwpAry.empty() && m.VerAry.empty() && m.EllipseAry.empty() && m.FaceAry.empty());
  EXPECT_TRUE(m.SolidAry.empty() && m.LeaderAry.empty() && m.SplineAry.empty() && m.BlockAry.empty());
  EXPECT_TRUE(m.EntInsertAry.empty() && m.NestInsertAry.empty());

  // Pens: the WALL line is red and dotted (HIDDEN by layer).
  EXPECT_EQ(m.LineAry[0].PenColor, 0x0000FFu);
  EXPECT_EQ(m.LineAry[0].PenStyle, psDot);
  EXPECT_EQ(m.LineAry[0].layindex, 1);

  // The line on the layer that is off does not count; the tilted circle, mirrored in x,
  // reaches x = -15, the ellipse y = 65 and the MTEXT's line of height 2 below (0, -10) y = -12.
  ExpectNear(extents.min, {-15, -12, 0}, 1e-9);
  ExpectNear(extents.max, {100, 65, 0}, 1e-9);
}

}  // namespace
}  // namespace tesmar
