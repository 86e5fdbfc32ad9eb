#include "dxf/reader.h"

#include <gtest/gtest.h>

#include "base/strings.h"
#include "tests/support/dxf_fixture.h"

namespace tesmar {
namespace {

using test::DxfPairs;
using test::DxfRead;
using test::EntitiesSection;

// Layers A (colour 3), Z (off: -5), F (frozen) and 0 (colour 2); a block "B" with entities on
// layer 0 and A; the drawing with entities on A, on the undeclared layer X and on 0.
const char kColourDrawing[] = R"(
0 SECTION
2 TABLES
0 TABLE
2 LAYER
70 4
0 LAYER
2 0
62 2
6 continuous
0 LAYER
2 A
62 3
70 0
6 Dashed
0 LAYER
2 Z
62 -5
0 LAYER
2 F
70 1
62 4
0 ENDTAB
0 ENDSEC
0 SECTION
2 BLOCKS
0 BLOCK
8 0
2 B
10 1
20 2
30 3
0 LINE
8 0
62 5
10 0
20 0
11 1
21 1
0 LINE
8 A
62 0
0 LINE
8 A
62 6
0 CIRCLE
8 A
40 2
0 ENDBLK
0 ENDSEC
0 SECTION
2 ENTITIES
0 LINE
8 A
10 1
0 LINE
8 X
0 LINE
8 0
62 5
0 ARC
8 A
62 1
0 ENDSEC
0 EOF
)";

TEST(DxfReader, ResolvesColoursInsideAndOutsideBlocks) {
  DxfRead r(DxfPairs(kColourDrawing));
  ASSERT_EQ(r.status, u"");
  const TDrawingModel& m = r.model;

  ASSERT_EQ(m.BlkLineAry.size(), 3u);
  EXPECT_EQ(m.BlkLineAry[0].color, 2) << "on layer 0 in a block: layer 0's colour despite its own 5";
  EXPECT_EQ(m.BlkLineAry[1].color, 3) << "BYBLOCK in a block: the layer's colour";
  EXPECT_EQ(m.BlkLineAry[2].color, 6) << "own colour on an ordinary layer";
  ASSERT_EQ(m.BlkCircleAry.size(), 1u);
  EXPECT_EQ(m.BlkCircleAry[0].color, 3) << "ended by ENDBLK with BYLAYER resolved";
  for (const auto& l : m.BlkLineAry) EXPECT_EQ(l.bname, u"B");

  ASSERT_EQ(m.LineAry.size(), 3u);
  EXPECT_EQ(m.LineAry[0].color, 3);
  EXPECT_EQ(m.LineAry[1].color, 7) << "undeclared layer";
  EXPECT_EQ(m.LineAry[2].color, 5) << "layer 0 outside blocks keeps the entity's colour";
  for (const auto& l : m.LineAry) EXPECT_EQ(l.bname, u"");
  ASSERT_EQ(m.ArcAry.size(), 1u);
  EXPECT_EQ(m.ArcAry[0].color, 1) << "the last entity is ended by ENDSEC";

  ASSERT_EQ(m.LayerAry.size(), 5u) << "the undeclared layer X is appended";
  EXPECT_EQ(m.LayerAry[4].Name, u"X");
  EXPECT_EQ(m.LayerAry[4].color, 7);
  EXPECT_EQ(m.LayerAry[4].ltype, u"CONTINUOUS");
  EXPECT_TRUE(m.LayerAry[4].visible);
}

TEST(DxfReader, LayerTableRecords) {
  DxfRead r(DxfPairs(kColourDrawing));
  const auto& layers = r.model.LayerAry;
  ASSERT_GE(layers.size(), 4u);
  EXPECT_EQ(layers[0].ltype, u"CONTINUOUS");
  EXPECT_EQ(layers[1].Name, u"A");
  EXPECT_EQ(layers[1].ltype, u"DASHED");
  EXPECT_TRUE(layers[1].visible);
  EXPECT_EQ(layers[2].color, -5);
  EXPECT_FALSE(layers[2].visible) << "negative colour: off";
  EXPECT_EQ(layers[3].code70, 1);
  EXPECT_EQ(layers[3].color, 4);
  EXPECT_FALSE(layers[3].visible) << "frozen";
}

TEST(DxfReader, BlockHeaderAndBlockInserts) {
  DxfRead r(DxfPairs(R"(
0 SECTION
2 BLOCKS
0 BLOCK
2 OUTER
8 L
10 5
20 6
30 7
0 INSERT
2 INNER
10 1
41 2
50 30
0 3DFACE
10 1
0 LEADER
0 ENDBLK
0 ENDSEC
0 SECTION
2 ENTITIES
0 INSERT
2 OUTER
8 L
0 ENDSEC
)"));
  const TDrawingModel& m = r.model;
  ASSERT_EQ(m.BlockAry.size(), 1u);
  const TBlockBlk& b = m.BlockAry[0];
  EXPECT_EQ(b.name, u"OUTER");
  EXPECT_EQ(b.layer, u"L");
  EXPECT_EQ(b.base, MakeAcadPoint(5, 6, 7));
  ASSERT_EQ(b.InsertAry.size(), 1u) << "an INSERT in a block stays with the block";
  EXPECT_EQ(b.InsertAry[0].name, u"INNER");
  EXPECT_EQ(b.InsertAry[0].dimBlkName, u"OUTER");
  EXPECT_EQ(b.InsertAry[0].scale, MakeAcadPoint(2, 1, 1));
  EXPECT_EQ(b.InsertAry[0].rotate, 30);
  EXPECT_EQ(b.InsertAry[0].code210, MakeAcadPoint(0, 0, 1));
  ASSERT_EQ(m.FaceAry.size(), 1u) << "a block keeps its 3DFACE";
  EXPECT_EQ(m.FaceAry[0].bname, u"OUTER");
  ASSERT_EQ(m.LeaderAry.size(), 1u);
  EXPECT_EQ(m.LeaderAry[0].bname, u"OUTER");
  ASSERT_EQ(m.EntInsertAry.size(), 1u);
  EXPECT_EQ(m.EntInsertAry[0].name, u"OUTER");
  EXPECT_EQ(m.EntInsertAry[0].dimBlkName, u"OUTER") << "the most recent block header";
  EXPECT_EQ(m.EntInsertAry[0].color, 7);
}

TEST(DxfReader, NoLayerTableGivesLayerZero) {
  DxfRead r(EntitiesSection(""));
  ASSERT_EQ(r.model.LayerAry.size(), 1u);
  const TLayer& l = r.model.LayerAry[0];
  EXPECT_EQ(l.Name, u"0");
  EXPECT_EQ(l.color, 7);
  EXPECT_EQ(l.code70, 0);
  EXPECT_EQ(l.ltype, u"CONTINUOUS");
  EXPECT_TRUE(l.visible);
}

TEST(DxfReader, TextKinds) {
  DxfRead r(EntitiesSection(R"(
0 MTEXT
8 T
3 ab
1 cd
40 2.5
71 5
0 TEXT
8 T
1
0 TEXT
8 T
1 25\U+00B0C
73 2
72 1
11 4
21 5
0 ATTRIB
8 T
1 v
73 3
74 1
)"));
  const auto& t = r.model.TextAry;
  ASSERT_EQ(t.size(), 3u) << "the empty TEXT is dropped";
  EXPECT_EQ(t[0].str, u"abcd");
  EXPECT_TRUE(t[0].mtflag);
  EXPECT_FALSE(t[0].atflag);
  EXPECT_EQ(t[0].code40, 2.5);
  EXPECT_EQ(t[0].code41, 0) << "an MTEXT without a reference width: not wrapped";
  EXPECT_EQ(t[0].code44, 1);
  EXPECT_EQ(t[0].code71, 5);
  EXPECT_EQ(t[1].str, u"25°C") << "escapes are decoded after reading";
  EXPECT_EQ(t[1].code73, 2);
  EXPECT_EQ(t[1].code72, 1);
  EXPECT_EQ(t[1].pt11, MakeAcadPoint(4, 5, 0));
  EXPECT_FALSE(t[1].mtflag);
  EXPECT_TRUE(t[2].atflag);
  EXPECT_EQ(t[2].code73, 1) << "ATTRIB: group 74, not 73";
  EXPECT_EQ(t[2].color, 7);
}

TEST(DxfReader, TextWithoutLayerGroupStartsWithEmptyLayer) {
  DxfRead r(EntitiesSection("0 TEXT\n1 x\n"));
  ASSERT_EQ(r.model.TextAry.size(), 1u);
  EXPECT_EQ(r.model.TextAry[0].layer, u"");
}

TEST(DxfReader, LwPolylineVertices) {
  DxfRead r(EntitiesSection(R"(
0 LWPOLYLINE
8 P
38 5
70 1
10 0
20 0
42 0.5
10 10
20 0
0 LWPOLYLINE
10 7
20 8
)"));
  const TDrawingModel& m = r.model;
  ASSERT_EQ(m.LwpAry.size(), 2u);
  EXPECT_EQ(m.LwpAry[0].ihand, 0);
  EXPECT_EQ(m.LwpAry[0].code70, 1);
  EXPECT_EQ(m.LwpAry[0].color, 7);
  EXPECT_EQ(m.LwpAry[1].ihand, 1);
  ASSERT_EQ(m.VerAry.size(), 3u);
  EXPECT_EQ(m.VerAry[0].code10, MakeAcadPoint(0, 0, 5));
  EXPECT_EQ(m.VerAry[0].code42, 0.5);
  EXPECT_EQ(m.VerAry[1].code10, MakeAcadPoint(10, 0, 5));
  EXPECT_EQ(m.VerAry[1].code42, 0);
  EXPECT_EQ(m.VerAry[0].ihand, 0);
  EXPECT_EQ(m.VerAry[1].ihand, 0);
  EXPECT_EQ(m.VerAry[2].ihand, 1);
  EXPECT_EQ(m.VerAry[2].code10, MakeAcadPoint(7, 8, 0));
}

TEST(DxfReader, PolylineVertexModeAndSeqend) {
  DxfRead r(EntitiesSection(R"(
0 POLYLINE
8 P
66 1
10 0
20 0
30 9
70 1
0 VERTEX
8 P
10 1
20 2
30 3
42 0.25
0 VERTEX
10 4
20 5
0 SEQEND
0 LINE
10 6
20 7
)"));
  const TDrawingModel& m = r.model;
  ASSERT_EQ(m.LwpAry.size(), 1u);
  EXPECT_EQ(m.LwpAry[0].code70, 1);
  EXPECT_EQ(m.LwpAry[0].color, 7);
  ASSERT_EQ(m.VerAry.size(), 2u) << "the header's own point is not a vertex, nor the LINE after SEQEND";
  EXPECT_EQ(m.VerAry[0].code10, MakeAcadPoint(1, 2, 3));
  EXPECT_EQ(m.VerAry[0].code42, 0.25);
  EXPECT_EQ(m.VerAry[1].code10, MakeAcadPoint(4, 5, 0));
  ASSERT_EQ(m.LineAry.size(), 1u);
  EXPECT_EQ(m.LineAry[0].st, MakeAcadPoint(6, 7, 0));
}

// A POLYLINE that another entity interrupts must not take that entity's groups, and vertices
// stop at the first entity that is not a VERTEX.
TEST(DxfReader, MalformedPolylineDoesNotSwallowTheNextEntity) {
  DxfRead r(EntitiesSection(R"(
0 POLYLINE
8 P
0 TEXT
8 T
1 x
0 POLYLINE
0 VERTEX
10 1
0 LINE
8 L
10 2
0 CIRCLE
8 C
)"));
  const TDrawingModel& m = r.model;
  ASSERT_EQ(m.LwpAry.size(), 2u);
  EXPECT_EQ(m.LwpAry[0].layer, u"P");
  ASSERT_EQ(m.TextAry.size(), 1u);
  EXPECT_EQ(m.TextAry[0].layer, u"T");
  ASSERT_EQ(m.VerAry.size(), 1u);
  EXPECT_EQ(m.VerAry[0].ihand, 1);
  ASSERT_EQ(m.LineAry.size(), 1u);
  EXPECT_EQ(m.LineAry[0].st.x, 2);
  ASSERT_EQ(m.CircleAry.size(), 1u);
}

TEST(DxfReader, LeaderVerticesAndEnd) {
  DxfRead r(EntitiesSection(R"(
0 LEADER
8 D
62 4
71 1
76 4
10 1
20 1
30 0
10 2
20 2
30 0
10 3
20 3
30 0
10 4
20 4
30 0
8 E
210 0
41 9
)"));
  ASSERT_EQ(r.model.LeaderAry.size(), 1u);
  const TLeaderBlk& l = r.model.LeaderAry[0];
  EXPECT_EQ(l.code76, 4);
  EXPECT_EQ(l.p1, MakeAcadPoint(1, 1, 0));
  EXPECT_EQ(l.p2, MakeAcadPoint(2, 2, 0));
  EXPECT_EQ(l.p3, MakeAcadPoint(3, 3, 0));
  EXPECT_EQ(l.layer, u"E") << "group 8 is still taken after the last vertex";
  EXPECT_EQ(l.code41, 0) << "the leader ended at group 210";
  EXPECT_EQ(l.vertices.size(), 4u) << "every vertex is kept";
  EXPECT_EQ(l.color, 4) << "a leader has its own colour";
}

TEST(DxfReader, FaceCornerCount) {
  DxfRead r(EntitiesSection(R"(
0 3DFACE
10 1
11 2
12 3
0 3DFACE
13 4
23 5
33 6
)"));
  ASSERT_EQ(r.model.FaceAry.size(), 2u);
  EXPECT_EQ(r.model.FaceAry[0].count, 3);
  EXPECT_EQ(r.model.FaceAry[0].pt[2].x, 3);
  EXPECT_EQ(r.model.FaceAry[1].count, 4);
  EXPECT_EQ(r.model.FaceAry[1].pt[3], MakeAcadPoint(4, 5, 6));
}

TEST(DxfReader, OtherEntityMaps) {
  DxfRead r(EntitiesSection(R"(
0 CIRCLE
10 1
20 2
40 3
67 1
230 -1
0 ARC
40 1
50 10
51 20
0 ELLIPSE
11 5
40 0.5
41 0
42 6.28
0 SOLID
62 3
12 7
33 8
0 SPLINE
62 3
71 3
10 1
20 2
10 3
30 4
40 0
40 1
41 0.5
0 DIMENSION
2 *D1
70 32
15 1
26 2
0 VIEW
)"));
  const TDrawingModel& m = r.model;
  ASSERT_EQ(m.CircleAry.size(), 1u);
  EXPECT_EQ(m.CircleAry[0].center, MakeAcadPoint(1, 2, 0));
  EXPECT_EQ(m.CircleAry[0].hankei, 3);
  EXPECT_EQ(m.CircleAry[0].code67, 1);
  EXPECT_EQ(m.CircleAry[0].code210, MakeAcadPoint(0, 0, -1));
  ASSERT_EQ(m.ArcAry.size(), 1u);
  EXPECT_EQ(m.ArcAry[0].st, 10);
  EXPECT_EQ(m.ArcAry[0].ed, 20);
  ASSERT_EQ(m.EllipseAry.size(), 1u);
  EXPECT_EQ(m.EllipseAry[0].endpoint.x, 5);
  EXPECT_EQ(m.EllipseAry[0].henpei, 0.5);
  EXPECT_EQ(m.EllipseAry[0].owari, 6.28);
  ASSERT_EQ(m.SolidAry.size(), 1u);
  EXPECT_EQ(m.SolidAry[0].p3.x, 7);
  EXPECT_EQ(m.SolidAry[0].p4.z, 8);
  EXPECT_EQ(m.SolidAry[0].color, 3) << "a solid has its own colour";
  ASSERT_EQ(m.SplineAry.size(), 1u);
  const TSplineBlk& s = m.SplineAry[0];
  EXPECT_EQ(s.color, 3);
  EXPECT_EQ(s.code71, 3);
  ASSERT_EQ(s.code10Ary.size(), 2u);
  EXPECT_EQ(s.code10Ary[0], MakeAcadPoint(1, 2, 0));
  EXPECT_EQ(s.code10Ary[1], MakeAcadPoint(3, 0, 4));
  EXPECT_EQ(s.code40Ary, (std::vector<double>{0, 1}));
  EXPECT_EQ(s.code41Ary, (std::vector<double>{0.5}));
  EXPECT_EQ(s.code210, MakeAcadPoint(0, 0, 0));
  ASSERT_EQ(m.DimensionAry.size(), 1u);
  EXPECT_EQ(m.DimensionAry[0].dimblkName, u"*D1");
  EXPECT_EQ(m.DimensionAry[0].dimtype, 32);
  EXPECT_EQ(m.DimensionAry[0].P5.x, 1);
  EXPECT_EQ(m.DimensionAry[0].P6.y, 2);
}

TEST(DxfReader, ViewTable) {
  DxfRead r(DxfPairs(R"(
0 SECTION
2 TABLES
0 TABLE
2 VIEW
70 1
0 VIEW
2 V1
10 1
20 2
40 3
41 4
70 1
0 ENDTAB
0 TABLE
2 UCS
0 UCS
2 U1
10 99
0 ENDTAB
0 ENDSEC
)"));
  ASSERT_EQ(r.model.ViewAry.size(), 1u);
  const TViewTbl& v = r.model.ViewAry[0];
  EXPECT_EQ(v.name, u"V1");
  EXPECT_EQ(v.center, MakeAcadPoint(1, 2, 0));
  EXPECT_EQ(v.height, 3);
  EXPECT_EQ(v.width, 4);
  EXPECT_EQ(v.code70, 1);
}

TEST(DxfReader, HeaderVersionAndSectionsOutsideEntities) {
  DxfRead r(DxfPairs(R"(
0 SECTION
2 HEADER
9 $ACADVER
1 AC1015
9 $INSUNITS
70 abc
0 ENDSEC
0 SECTION
2 OBJECTS
0 LINE
40 not-a-number
0 ENDSEC
)"));
  EXPECT_EQ(r.version, u"AC1015");
  EXPECT_EQ(r.status, u"") << "values that no state takes are never converted";
  EXPECT_TRUE(r.model.LineAry.empty());
}

TEST(DxfReader, BadValueStopsTheReadAndNamesBothLines) {
  DxfRead r(EntitiesSection(R"(
0 CIRCLE
40 1
0 CIRCLE
10 5
40 abc
0 CIRCLE
40 3
)"),
            TextEncoding::Ansi, "bad.dxf");
  // Pairs: SECTION, ENTITIES, CIRCLE, 40, CIRCLE, 10, 40 -> the 7th pair.
  EXPECT_EQ(r.status, u"13:40/14:abc");
  ASSERT_EQ(r.report.messages.size(), 1u);
  EXPECT_EQ(r.report.messages[0].first, u"bad.dxf\n13 行=40\n14 行=abc");
  EXPECT_EQ(r.report.messages[0].second, u"DxfReport");
  ASSERT_EQ(r.model.CircleAry.size(), 2u) << "what was read stays, the current one included";
  EXPECT_EQ(r.model.CircleAry[1].center.x, 5);
  EXPECT_EQ(r.model.LayerAry.size(), 1u);
}

TEST(DxfReader, BadValueIsShownEvenWithoutParentWindow) {
  test::TempDir dir;
  test::WriteFile(dir / "b.dxf", EntitiesSection("0 LINE\n62 x\n"));
  test::RecordingReport report;
  report.parent = false;
  TDrawingModel model;
  std::u16string status;
  ReadDxfFile(model, U16FromPath(dir / "b.dxf"), nullptr, &report, status, TextEncoding::Ansi);
  EXPECT_EQ(status, u"7:62/8:x");
  EXPECT_EQ(report.messages.size(), 1u);
}

TEST(DxfReader, NumberForms) {
  struct Case {
    const char* value;
    bool ok;
    double want;
  };
  const Case cases[] = {
      {"1.5", true, 1.5},   {"-2", true, -2},   {"+3.25", true, 3.25}, {".5", true, 0.5},   {"5.", true, 5},
      {"1e3", true, 1000},  {"1.5E-2", true, 0.015}, {"1,5", false, 0}, {"", false, 0},     {"inf", false, 0},
      {"nan", false, 0},    {"0x10", false, 0}, {"1e999", false, 0},   {"--1", false, 0},   {"+-1", false, 0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.value);
    DxfRead r(EntitiesSection(std::string("0 CIRCLE\n40 ") + c.value + "\n"));
    EXPECT_EQ(r.status.empty(), c.ok) << std::string(r.status.begin(), r.status.end());
    ASSERT_EQ(r.model.CircleAry.size(), 1u);
    if (c.ok) {
      EXPECT_EQ(r.model.CircleAry[0].hankei, c.want);
    }
  }
  const std::pair<const char*, int> ints[] = {{"7", 7}, {"+7", 7}, {"-1", -1}, {"65539", 3}};
  for (const auto& [value, want] : ints) {
    SCOPED_TRACE(value);
    DxfRead r(EntitiesSection(std::string("0 LINE\n60 ") + value + "\n"));
    ASSERT_EQ(r.status, u"");
    EXPECT_EQ(r.model.LineAry[0].code60, want);
  }
  for (const char* bad : {"1.0", "7a", "", "99999999999"}) {
    SCOPED_TRACE(bad);
    DxfRead r(EntitiesSection(std::string("0 LINE\n60 ") + bad + "\n"));
    EXPECT_NE(r.status, u"");
  }
}

TEST(DxfReader, NonNumericCodeLineIsNoError) {
  DxfRead r(EntitiesSection("0 LINE\nxx 5\n10 2\n"));
  EXPECT_EQ(r.status, u"");
  ASSERT_EQ(r.model.LineAry.size(), 1u);
  EXPECT_EQ(r.model.LineAry[0].st.x, 2);
}

TEST(DxfReader, MissingFileReadsAsEmptyDrawingSilently) {
  TDrawingModel model;
  model.LineAry.emplace_back();
  test::RecordingReport report;
  std::u16string status = u"old";
  const std::u16string v = ReadDxfFile(model, u"/nonexistent/folder/x.dxf", nullptr, &report, status, TextEncoding::Ansi);
  EXPECT_EQ(v, u"");
  EXPECT_EQ(status, u"");
  EXPECT_TRUE(report.messages.empty());
  EXPECT_TRUE(model.LineAry.empty()) << "the model is emptied";
  EXPECT_EQ(model.LayerAry.size(), 1u);
}

TEST(DxfReader, ProgressStepsAndReset) {
  EXPECT_EQ(DxfProgressStep(1024000), 1301);
  EXPECT_EQ(DxfProgressStep(0), 1);
  EXPECT_EQ(DxfProgressStep(1023), 2);  // 1023*65 div 1024 = 64 pairs -> step 2

  std::string body;
  for (int i = 0; i < 300; ++i) body += "0 POINT\n";
  const std::string bytes = EntitiesSection(body);
  test::TempDir dir;
  test::WriteFile(dir / "p.dxf", bytes);
  test::RecordingProgress progress;
  progress.position = 17;
  TDrawingModel model;
  std::u16string status;
  ReadDxfFile(model, U16FromPath(dir / "p.dxf"), &progress, nullptr, status, TextEncoding::Ansi);
  const long long step = DxfProgressStep(bytes.size());
  const long long pairs = 300 + 4;
  EXPECT_EQ(progress.max, 50);
  ASSERT_FALSE(progress.positions.empty());
  EXPECT_EQ(progress.positions.front(), 0);
  EXPECT_EQ(progress.positions.back(), 0) << "reset at the end";
  // The position before the reset counts the steps taken.
  EXPECT_EQ(progress.positions[progress.positions.size() - 2], pairs / step);
}

// A read asked to stop stops within a block of pairs, leaves the model empty and says so in its
// status, without a message; a read that is never asked reads everything.
TEST(DxfReader, StopsBetweenBlocksWhenCancelled) {
  struct StoppingProgress : test::RecordingProgress {
    int asksBeforeStop = 0;
    mutable int asked = 0;
    bool Cancelled() const override {
      ++asked;
      return asksBeforeStop >= 0 && asked > asksBeforeStop;
    }
  };
  std::string body;
  for (int i = 0; i < 5000; ++i) body += "0 LINE\n8 0\n10 1\n20 2\n";
  test::TempDir dir;
  test::WriteFile(dir / "many.dxf", EntitiesSection(body));
  for (int stopAfter : {0, 2, -1}) {
    SCOPED_TRACE(stopAfter);
    StoppingProgress progress;
    progress.asksBeforeStop = stopAfter;
    test::RecordingReport report;
    TDrawingModel model;
    model.CircleAry.resize(2);  // left from an earlier drawing
    std::u16string status;
    ReadDxfFile(model, U16FromPath(dir / "many.dxf"), &progress, &report, status, TextEncoding::Ansi);
    EXPECT_TRUE(report.messages.empty());
    EXPECT_TRUE(model.CircleAry.empty());
    if (stopAfter < 0) {
      EXPECT_EQ(status, u"");
      EXPECT_EQ(model.LineAry.size(), 5000u);
      EXPECT_GT(progress.asked, 3) << "asked once per block of pairs";
    } else {
      EXPECT_EQ(status, u"cancelled");
      EXPECT_EQ(progress.asked, stopAfter + 1) << "the read ends at the first yes";
      EXPECT_TRUE(model.LineAry.empty());
      EXPECT_EQ(progress.positions.back(), 0);
    }
  }
}

TEST(DxfReader, AnsiAndUtf8TextReadIntoTheSameUtf16) {
  const std::string ansi = EntitiesSection("0 TEXT\n8 \x90\x7D\x96\xCA\n1 \x90\xA1\x96\x40 \\U+00B1\n");
  const std::string utf8 = EntitiesSection("0 TEXT\n8 \xE5\x9B\xB3\xE9\x9D\xA2\n1 \xE5\xAF\xB8\xE6\xB3\x95 \\U+00B1\n");
  DxfRead a(ansi, TextEncoding::Ansi), u(utf8, TextEncoding::Utf8);
  ASSERT_EQ(a.model.TextAry.size(), 1u);
  ASSERT_EQ(u.model.TextAry.size(), 1u);
  EXPECT_EQ(a.model.TextAry[0].str, u"寸法 ±");
  EXPECT_EQ(u.model.TextAry[0].str, u"寸法 ±");
  EXPECT_EQ(a.model.TextAry[0].layer, u"図面");
  EXPECT_EQ(u.model.TextAry[0].layer, u"図面");
  EXPECT_EQ(a.model.LayerAry.back().Name, u"図面");
}

// Line ends, NUL bytes, a byte-order mark, a very long line and a file that ends after a code
// line must neither stop the read nor change what it gives.
TEST(DxfReader, ByteLevelVariantsReadAlike) {
  const char* kPairs = "0 SECTION\n2 ENTITIES\n0 LINE\n8 A\n10 1\n0 TEXT\n8 A\n1 ab\n0 LINE\n8 A\n62 4\n0 ENDSEC\n";
  const std::string lf = DxfPairs(kPairs);
  const std::string variants[] = {
      DxfPairs(kPairs, "\r\n"),
      DxfPairs(kPairs, "\r"),
      "\xEF\xBB\xBF" + lf,
      lf.substr(0, lf.size() - 1),  // no final line end
  };
  DxfRead base(lf, TextEncoding::Utf8);
  ASSERT_EQ(base.model.LineAry.size(), 2u);
  for (const std::string& v : variants) {
    DxfRead r(v, TextEncoding::Utf8);
    EXPECT_EQ(r.status, u"");
    ASSERT_EQ(r.model.LineAry.size(), 2u);
    EXPECT_EQ(r.model.LineAry[0].st.x, 1);
    EXPECT_EQ(r.model.LineAry[1].color, 4);
    ASSERT_EQ(r.model.TextAry.size(), 1u);
    EXPECT_EQ(r.model.TextAry[0].str, u"ab");
  }
}

TEST(DxfReader, NulBytesAndVeryLongLinesAreKept) {
  const std::string longText(3 << 20, 'x');  // longer than one read block
  std::string bytes = EntitiesSection("0 TEXT\n1 a\n0 TEXT\n1 " + longText + "\n0 LINE\n10 2\n");
  const std::size_t at = bytes.find("1\na\n");
  bytes.replace(at + 2, 1, std::string("a\0b", 3));
  DxfRead r(bytes);
  EXPECT_EQ(r.status, u"");
  ASSERT_EQ(r.model.TextAry.size(), 2u);
  EXPECT_EQ(r.model.TextAry[0].str, std::u16string(u"a\0b", 3));
  EXPECT_EQ(r.model.TextAry[1].str.size(), longText.size());
  ASSERT_EQ(r.model.LineAry.size(), 1u);
  EXPECT_EQ(r.model.LineAry[0].st.x, 2);
}

TEST(DxfReader, FileEndingAfterACodeLineEndsTheLastEntity) {
  DxfRead r(DxfPairs("0 SECTION\n2 ENTITIES\n0 LINE\n8 A\n") + "0\n");
  ASSERT_EQ(r.model.LineAry.size(), 1u);
  EXPECT_EQ(r.model.LineAry[0].color, 7) << "the final code-0 pair with an empty value ends it";
  EXPECT_EQ(r.status, u"");
}

TEST(DxfReader, KindsBeyondLinesAndTexts) {
  DxfRead r(EntitiesSection(R"(
0 HATCH
8 H
62 5
10 0
20 0
30 2
70 1
91 2
92 2
72 1
73 1
93 3
10 0
20 0
42 0.5
10 4
20 0
10 4
20 4
97 0
92 1
93 2
72 1
10 1
20 1
11 2
21 1
72 2
10 3
20 3
40 1.5
50 0
51 90
73 0
97 0
75 0
76 1
52 0
41 1
77 0
78 1
53 45
43 0
44 0
45 -1
46 1
79 2
49 0.5
49 -0.25
98 1
10 9
20 9
0 TRACE
10 0
11 1
12 0
22 1
13 1
23 1
0 POINT
10 7
20 8
0 XLINE
10 1
20 2
11 0
21 1
0 RAY
11 1
0 MLINE
73 2
71 2
11 0
21 0
13 0
23 1
74 2
41 0.5
41 0
75 0
74 2
41 -0.5
41 0
75 0
11 5
21 0
13 0
23 1
74 1
41 0.5
75 0
74 1
41 -0.5
75 0
0 MESH
92 3
10 0
20 0
10 1
20 0
10 0
20 1
93 4
90 3
90 0
90 1
90 2
94 0
0 ACAD_TABLE
2 *T1
10 4
20 5
100 AcDbTable
41 99
10 7
0 ATTDEF
1 default
3 prompt
2 TAG
40 2
0 LWPOLYLINE
90 2
43 0.5
10 0
20 0
40 1
41 2
10 3
20 0
0 MULTILEADER
92 16
310 1000000001000000
310 0C00000014000000
310 FFFF
0 MULTILEADER
160 4
310 01020304
)"));
  const TDrawingModel& m = r.model;
  EXPECT_EQ(r.status, u"");
  ASSERT_EQ(m.HatchAry.size(), 1u);
  const THatchBlk& h = m.HatchAry[0];
  EXPECT_EQ(h.color, 5);
  EXPECT_EQ(h.code70, 1);
  EXPECT_EQ(h.elevation, 2);
  ASSERT_EQ(h.paths.size(), 2u);
  ASSERT_EQ(h.paths[0].edges.size(), 3u) << "a polyline path: one edge per vertex";
  EXPECT_EQ(h.paths[0].edges[0].bulge, 0.5);
  EXPECT_EQ(h.paths[0].edges[2].p1, MakeAcadPoint(4, 4, 0));
  ASSERT_EQ(h.paths[1].edges.size(), 2u);
  EXPECT_EQ(h.paths[1].edges[0].p2, MakeAcadPoint(2, 1, 0));
  EXPECT_EQ(h.paths[1].edges[1].type, 2);
  EXPECT_EQ(h.paths[1].edges[1].r, 1.5);
  EXPECT_FALSE(h.paths[1].edges[1].ccw);
  ASSERT_EQ(h.lines.size(), 1u);
  EXPECT_EQ(h.lines[0].angle, 45);
  EXPECT_EQ(h.lines[0].offset, MakeAcadPoint(-1, 1, 0));
  EXPECT_EQ(h.lines[0].dashes, (std::vector<double>{0.5, -0.25}));

  ASSERT_EQ(m.SolidAry.size(), 1u) << "a trace is read as a solid";
  EXPECT_EQ(m.SolidAry[0].p4, MakeAcadPoint(1, 1, 0));
  ASSERT_EQ(m.CircleAry.size(), 1u) << "a point is a circle of no radius";
  EXPECT_EQ(m.CircleAry[0].center, MakeAcadPoint(7, 8, 0));
  EXPECT_EQ(m.CircleAry[0].hankei, 0);
  ASSERT_EQ(m.XlineAry.size(), 2u);
  EXPECT_FALSE(m.XlineAry[0].ray);
  EXPECT_EQ(m.XlineAry[0].dir, MakeAcadPoint(0, 1, 0));
  EXPECT_TRUE(m.XlineAry[1].ray);

  ASSERT_EQ(m.MlineAry.size(), 1u);
  EXPECT_EQ(m.MlineAry[0].vertices.size(), 2u);
  EXPECT_EQ(m.MlineAry[0].offsets, (std::vector<double>{0.5, -0.5, 0.5, -0.5})) << "the first parameter of each element";
  EXPECT_EQ(m.MlineAry[0].code71, 2);
  ASSERT_EQ(m.MeshAry.size(), 1u);
  EXPECT_EQ(m.MeshAry[0].vertices.size(), 3u);
  EXPECT_EQ(m.MeshAry[0].faces, (std::vector<std::int32_t>{3, 0, 1, 2}));

  ASSERT_EQ(m.EntInsertAry.size(), 1u) << "a table places its block as an INSERT";
  EXPECT_EQ(m.EntInsertAry[0].name, u"*T1");
  EXPECT_EQ(m.EntInsertAry[0].base, MakeAcadPoint(4, 5, 0));
  EXPECT_EQ(m.EntInsertAry[0].scale, MakeAcadPoint(1, 1, 1)) << "the table's own groups are not the insert's";
  ASSERT_EQ(m.TextAry.size(), 1u);
  EXPECT_EQ(m.TextAry[0].str, u"TAG") << "an attribute definition in the drawing shows its tag";

  ASSERT_EQ(m.LwpAry.size(), 1u);
  EXPECT_EQ(m.LwpAry[0].code43, 0.5);
  ASSERT_EQ(m.VerAry.size(), 2u);
  EXPECT_EQ(m.VerAry[0].code40, 1);
  EXPECT_EQ(m.VerAry[0].code41, 2);

  ASSERT_EQ(m.ProxyAry.size(), 2u);
  EXPECT_EQ(m.ProxyAry[1].graphics.size(), 4u) << "newer files give the size in group 160";
  EXPECT_EQ(m.ProxyAry[0].code92, 16);
  EXPECT_EQ(m.ProxyAry[0].graphics.size(), 16u) << "the graphics stop at their size";
  EXPECT_EQ(m.ProxyAry[0].graphics[8], 0x0C);
}

TEST(DxfReader, AttributeDefinitionsInBlocksAreNotDrawn) {
  DxfRead r(DxfPairs(R"(
0 SECTION
2 BLOCKS
0 BLOCK
2 B
0 ATTDEF
2 TAG
1 x
0 ENDBLK
0 ENDSEC
)"));
  EXPECT_TRUE(r.model.BlkTextAry.empty());
}

}  // namespace
}  // namespace tesmar
