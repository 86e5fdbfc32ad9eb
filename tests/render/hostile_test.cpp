// Drawings of a few records that ask the post-processing for far more work than they hold:
// each ends, within the work budget, and says when it is drawn in part.
#include <gtest/gtest.h>

#include <cmath>
#include <string>

#include "render/canvas_recording.h"
#include "render/curves.h"
#include "render/decompose.h"
#include "render/expand.h"
#include "render/postprocess.h"
#include "render/render_pass.h"
#include "render/text_draw.h"
#include "tests/support/hatch_fixture.h"

namespace tesmar {
namespace {

THatchBlk PatternHatch(THatchPath path, double angle, TAcadPoint base, TAcadPoint offset) {
  THatchBlk h;
  h.paths = {std::move(path)};
  THatchLine line;
  line.angle = angle;
  line.base = base;
  line.offset = offset;
  h.lines.push_back(line);
  return h;
}

TEST(Hostile, HatchRowsFarFromTheBaseAreCountedFromTheBoundary) {
  // A 20 x 20 square with rows 1 apart whose base point is far away: the rows fill the square
  // as they would near it (beyond about 1e16 a row number no longer counts single rows).
  for (double far : {1e17, 1e24, -3e30}) {
    SCOPED_TRACE(far);
    TDrawingModel m;
    m.HatchAry.push_back(PatternHatch(test::SquarePath(0, 20), 0, {0, far, 0}, {0, 1, 0}));
    ExplodeHatchRecords(m, false, 10);
    EXPECT_GE(m.LineAry.size(), 19u);
    EXPECT_LE(m.LineAry.size(), 21u);
    for (const TAcadLineBlk& l : m.LineAry) {
      EXPECT_NEAR(l.st.x, 0, 1e-9);
      EXPECT_NEAR(l.ed.x, 20, 1e-9);
      EXPECT_TRUE(l.st.y >= 0 && l.st.y <= 20) << l.st.y;
    }
    EXPECT_FALSE(m.expansionCut);
  }
}

TEST(Hostile, HatchRowsThatMakeNothingStillSpendTheBudget) {
  // Rows 1e-7 apart across the box of a thin slanted strip a million units long: about 1e13
  // rows, few of which meet the strip.
  THatchPath strip;
  strip.flags = 2;
  for (TAcadPoint p : {TAcadPoint{0, 0, 0}, {1e6, 1e6, 0}, {1e6 + 1e-3, 1e6, 0}, {1e-3, 0, 0}})
    strip.edges.emplace_back().p1 = p;
  TDrawingModel m;
  m.HatchAry.push_back(PatternHatch(strip, 0, {0, 0, 0}, {0, 1e-7, 0}));
  TWorkBudget budget(1000000, 200000);
  ExplodeHatchRecords(m, false, 10, budget);
  EXPECT_TRUE(budget.Cut());
  EXPECT_TRUE(m.expansionCut);
  EXPECT_LE(m.LineAry.size(), 200000u / 5);
}

TEST(Hostile, HatchesShareOneBudget) {
  // Two hatches of 800 rows each under a budget of 1000 records: the second gets the rest.
  TDrawingModel m;
  for (double x : {0.0, 100.0}) {
    THatchPath square = test::SquarePath(0, 8);
    for (THatchEdge& e : square.edges) e.p1.x += x;
    m.HatchAry.push_back(PatternHatch(square, 0, {0, 0.005, 0}, {0, 0.01, 0}));
  }
  TWorkBudget budget(1000, TWorkBudget::kSteps);
  ExplodeHatchRecords(m, false, 10, budget);
  EXPECT_EQ(m.LineAry.size(), 1000u);
  EXPECT_TRUE(m.expansionCut);
}

std::u16string Number(int i) {
  const std::string s = std::to_string(i);
  return std::u16string(s.begin(), s.end());
}

TInsertBlk Insert(const std::u16string& name, TAcadPoint base) {
  TInsertBlk i;
  i.name = name;
  i.base = base;
  return i;
}

TAcadLineBlk BlockLine(const std::u16string& block) {
  TAcadLineBlk l;
  l.bname = block;
  l.st = {0, 0, 0};
  l.ed = {1, 0, 0};
  return l;
}

// Blocks B0 .. B(levels-1), each placing the next `fanOut` times; only the last holds a line.
TDrawingModel Nest(int levels, int fanOut, bool linesEverywhere = false) {
  TDrawingModel m;
  for (int i = 0; i < levels; ++i) {
    const std::u16string name = u"B" + Number(i);
    TBlockBlk b;
    b.name = name;
    for (int k = 0; i + 1 < levels && k < fanOut; ++k) {
      TInsertBlk next = Insert(u"B" + Number(i + 1), {1, 0, 0});
      next.dimBlkName = name;
      b.InsertAry.push_back(next);
    }
    m.BlockAry.push_back(b);
    if (linesEverywhere || i + 1 == levels) m.BlkLineAry.push_back(BlockLine(name));
  }
  m.EntInsertAry.push_back(Insert(u"B0", {0, 0, 0}));
  return m;
}

TEST(Hostile, NestingOfEmptyBlocksIsChargedForEveryCopy) {
  // 40 levels, each placing the next twice: 2^40 copies, none but the last with a record.
  TDrawingModel m = Nest(40, 2);
  const TBlockIndex index(m);
  TWorkBudget budget(TWorkBudget::kRecords, 1000000);
  const TCopyCounts counted = CountExpansion(m, index, budget);
  ExpandInserts(m, index, budget);
  ExpandBlocks(m, index, budget);
  EXPECT_TRUE(m.expansionCut);
  EXPECT_EQ(counted.lines, m.LineAry.size()) << "the count walks as the expansion does";
}

TEST(Hostile, NestingDeeperThanTheStackEnds) {
  // A chain of 40 000 blocks, each placing the next once and holding a line.
  TDrawingModel m = Nest(40000, 1, true);
  const TBlockIndex index(m);
  ExpandInserts(m, index);
  ExpandBlocks(m, index);
  EXPECT_EQ(m.LineAry.size(), 40000u);
  EXPECT_FALSE(m.expansionCut);
  EXPECT_NEAR(m.LineAry.back().st.x, 39999, 1e-6) << "each level 1 further along";
}

TEST(Hostile, ArrayInsertsDrawEveryCellAndTakeFromTheBudget) {
  // 3 columns 10 apart and 2 rows 5 apart, turned a quarter: the columns go up, the rows left.
  TDrawingModel m = Nest(1, 0);
  TInsertBlk& a = m.EntInsertAry[0];
  a.base = {100, 0, 0};
  a.rotate = 90;
  a.columns = 3, a.rows = 2, a.columnSpacing = 10, a.rowSpacing = 5;
  TDrawingModel big = m;
  ExpandInserts(m);
  ASSERT_EQ(m.LineAry.size(), 6u);
  const TAcadPoint expected[] = {{100, 0, 0}, {100, 10, 0}, {100, 20, 0}, {95, 0, 0}, {95, 10, 0}, {95, 20, 0}};
  for (std::size_t i = 0; i < 6; ++i) {
    EXPECT_NEAR(m.LineAry[i].st.x, expected[i].x, 1e-9) << i;
    EXPECT_NEAR(m.LineAry[i].st.y, expected[i].y, 1e-9) << i;
  }

  // 32767 x 32767 cells under a budget of 1000 records.
  big.EntInsertAry[0].columns = big.EntInsertAry[0].rows = 32767;
  const TBlockIndex index(big);
  TWorkBudget budget(1000, TWorkBudget::kSteps);
  ExpandInserts(big, index, budget);
  EXPECT_EQ(big.LineAry.size(), 1000u);
  EXPECT_TRUE(big.expansionCut);
}

TEST(Hostile, SplineDegreesNoCadProgramWritesGiveTheControlPolygon) {
  std::vector<TAcadPoint> control;
  for (int i = 0; i < 200; ++i) control.push_back({double(i), double((i * 37) % 11), 0});
  EXPECT_EQ(NurbsPolyline(32767, {}, control, {}, 10), control);
  EXPECT_EQ(NurbsPolyline(kHighestSplineDegree + 1, {}, control, {}, 10), control);
  EXPECT_NE(NurbsPolyline(3, {}, control, {}, 10), control) << "an ordinary degree is a curve";
}

TEST(Hostile, PostProcessingAndTheIndexStopWhenAsked) {
  // Without a stop the nesting would run until its budget is spent; the stop ends it at once.
  TDrawingModel m = Nest(40, 2);
  int asked = 0;
  EXPECT_THROW(RunPostProcessing(m, [&] { return ++asked > 3; }), TPostStopped);
  EXPECT_GT(asked, 3);

  TDrawingModel lines;
  lines.LineAry.resize(300000);
  EXPECT_THROW(BuildRenderIndex(lines, [] { return true; }), TPostStopped);
  EXPECT_NE(BuildRenderIndex(lines, [] { return false; }), nullptr);
}

TEST(Hostile, MtextWrappingMeasuresEachPieceOnce) {
  // A paragraph of 2000 words wrapped into two lines: the characters measured stay within a
  // small multiple of the paragraph's length.
  std::u16string words;
  for (int i = 0; i < 2000; ++i) words += u"word ";
  RecordingCanvas canvas;
  DrawText(canvas, {0, 0}, 1, words, {}, {}, 0, 0, 20, 40000, 0, 1, 0, 1, true, {});
  std::size_t measured = 0, written = 0;
  for (const CanvasCall& c : canvas.calls) {
    if (c.op == "TextWidth") measured += c.text.size();
    if (c.op == "TextOut") ++written;
  }
  EXPECT_EQ(written, 2u) << "wrapped once";
  EXPECT_LT(measured, 5 * words.size());
}

}  // namespace
}  // namespace tesmar
