#include "render/expand.h"

#include <gtest/gtest.h>

#include "tests/support/point_expect.h"

namespace tesmar {
namespace {

using test::ExpectNear;

TBlockBlk Block(std::u16string name, TAcadPoint base = {}) {
  TBlockBlk b;
  b.name = std::move(name);
  b.base = base;
  b.layer = u"0";
  return b;
}

TInsertBlk Insert(std::u16string name, TAcadPoint base, double rotate = 0, TAcadPoint scale = {1, 1, 1}) {
  TInsertBlk i;
  i.name = std::move(name);
  i.base = base;
  i.rotate = rotate;
  i.scale = scale;
  return i;
}

TAcadLineBlk Line(std::u16string block, TAcadPoint st, TAcadPoint ed, std::u16string layer = u"0", std::int16_t color = 7) {
  TAcadLineBlk l;
  l.bname = std::move(block);
  l.st = st;
  l.ed = ed;
  l.layer = std::move(layer);
  l.color = color;
  return l;
}

TArcBlk Arc(std::u16string block, double st, double ed) {
  TArcBlk a;
  a.bname = std::move(block);
  a.center = {0, 0, 0};
  a.hankei = 1;
  a.st = st;
  a.ed = ed;
  return a;
}

TEST(Expand, InsertTransformsLinesCirclesAndTexts) {
  TDrawingModel m;
  m.BlockAry.push_back(Block(u"B", {1, 0, 0}));
  m.BlkLineAry.push_back(Line(u"B", {1, 0, 0}, {2, 0, 0}));
  TCircleBlk c;
  c.bname = u"B";
  c.center = {1, 0, 0};
  c.hankei = 1;
  m.BlkCircleAry.push_back(c);
  TTextBlk t;
  t.bname = u"B";
  t.layer = u"0";
  t.code40 = 2.5;
  t.code50 = 15;
  t.pt10 = {2, 0, 0};
  t.pt11 = {3, 0, 0};
  m.BlkTextAry.push_back(t);
  t.mtflag = true;  // an MTEXT's second point is its direction: left as it is
  m.BlkTextAry.push_back(t);
  TInsertBlk ins = Insert(u"B", {10, 0, 0}, 90, {2, 2, 1});
  ins.code67 = 1;
  ins.code210 = {0, 0, -1};
  m.EntInsertAry.push_back(ins);
  m.EntInsertAry.push_back(Insert(u"B", {0, 0, 0}, 0, {-2, 2, 1}));

  ExpandInserts(m);
  ASSERT_EQ(m.LineAry.size(), 2u);
  ExpectNear(m.LineAry[0].st, {10, 0, 0});
  ExpectNear(m.LineAry[0].ed, {10, 2, 0});
  EXPECT_EQ(m.LineAry[0].code67, 1);
  EXPECT_EQ(m.LineAry[0].code210, ins.code210);
  EXPECT_EQ(m.LineAry[0].bname, u"B");
  ASSERT_EQ(m.CircleAry.size(), 2u);
  EXPECT_DOUBLE_EQ(m.CircleAry[0].hankei, 2);
  EXPECT_DOUBLE_EQ(m.CircleAry[1].hankei, 2);  // negative x scale: radius by its size
  ASSERT_EQ(m.TextAry.size(), 4u);
  EXPECT_DOUBLE_EQ(m.TextAry[0].code40, 5);
  EXPECT_DOUBLE_EQ(m.TextAry[0].code50, 15);
  ExpectNear(m.TextAry[0].pt10, {10, 2, 0});
  ExpectNear(m.TextAry[0].pt11, {10, 4, 0});
  ExpectNear(m.TextAry[1].pt11, {3, 0, 0});
}

TEST(Expand, ArcAnglesFollowRotationAndMirroringWithinOneTurn) {
  struct Case {
    const char* what;
    double st, ed, rotate;
    TAcadPoint scale;
    double wantSt, wantEd;
  };
  const Case cases[] = {
      {"rotated", 0, 90, 30, {1, 1, 1}, 30, 120},
      {"past 360", 300, 350, 100, {1, 1, 1}, 40, 90},
      {"negative rotation", 10, 20, -90, {1, 1, 1}, 280, 290},
      {"mirrored in x", 0, 90, 0, {-1, 1, 1}, 90, 180},
      {"mirrored in y", 0, 90, 0, {1, -1, 1}, 270, 0},
      {"mirrored and rotated", 10, 30, 90, {-1, 1, 1}, 240, 260},
      {"both negative: half a turn", 0, 90, 0, {-1, -1, 1}, 180, 270},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    TDrawingModel m;
    m.BlockAry.push_back(Block(u"B"));
    m.BlkArcAry.push_back(Arc(u"B", c.st, c.ed));
    m.EntInsertAry.push_back(Insert(u"B", {0, 0, 0}, c.rotate, c.scale));
    ExpandInserts(m);
    ASSERT_EQ(m.ArcAry.size(), 1u);
    EXPECT_NEAR(m.ArcAry[0].st, c.wantSt, 1e-9);
    EXPECT_NEAR(m.ArcAry[0].ed, c.wantEd, 1e-9);
  }
}

TEST(Expand, MirroredArcStaysOnTheSideOfItsLines) {
  // A half circle above its chord; mirrored in x it must still lie above, between its ends.
  TDrawingModel m;
  m.BlockAry.push_back(Block(u"B"));
  m.BlkLineAry.push_back(Line(u"B", {1, 0, 0}, {3, 0, 0}));
  TArcBlk a = Arc(u"B", 0, 180);
  a.center = {2, 0, 0};
  m.BlkArcAry.push_back(a);
  m.EntInsertAry.push_back(Insert(u"B", {0, 0, 0}, 0, {-1, 1, 1}));
  ExpandInserts(m);
  const TArcBlk& arc = m.ArcAry[0];
  ExpectNear(arc.center, {-2, 0, 0});
  // The arc's middle direction points up.
  const double mid = (arc.st + (arc.ed < arc.st ? arc.ed + 360 : arc.ed)) / 2;
  EXPECT_NEAR(mid, 90, 1e-9);
}

TEST(Expand, LayerZeroAndByblockInheritTheInsertLayer) {
  TDrawingModel m;
  m.LayerAry.push_back({.Name = u"0", .color = 7});
  m.LayerAry.push_back({.Name = u"WALL", .color = 3});
  m.BlockAry.push_back(Block(u"B"));
  m.BlkLineAry.push_back(Line(u"B", {}, {1, 0, 0}, u"0", 7));
  m.BlkLineAry.push_back(Line(u"B", {}, {1, 0, 0}, u"OWN", 0));  // BYBLOCK
  m.BlkLineAry.push_back(Line(u"B", {}, {1, 0, 0}, u"OWN", 5));
  m.BlkLineAry.back().ltype = u"DASHED";
  TInsertBlk ins = Insert(u"B", {});
  ins.layer = u"WALL";
  ins.ltype = u"HIDDEN";
  m.EntInsertAry.push_back(ins);
  ins.layer = u"NEW";  // unknown layer: appended with colour 7
  m.EntInsertAry.push_back(ins);
  ExpandInserts(m);
  ASSERT_EQ(m.LineAry.size(), 6u);
  EXPECT_EQ(m.LineAry[0].layer, u"WALL");
  EXPECT_EQ(m.LineAry[0].color, 3);
  EXPECT_EQ(m.LineAry[0].ltype, u"HIDDEN");
  EXPECT_EQ(m.LineAry[1].layer, u"WALL");
  EXPECT_EQ(m.LineAry[1].color, 3);
  EXPECT_EQ(m.LineAry[2].layer, u"OWN");
  EXPECT_EQ(m.LineAry[2].color, 5);
  EXPECT_EQ(m.LineAry[2].ltype, u"DASHED");
  EXPECT_EQ(m.LineAry[3].color, 7);
  ASSERT_EQ(m.LayerAry.size(), 3u);
  EXPECT_EQ(m.LayerAry[2].Name, u"NEW");
}

TEST(Expand, OutputOrderAndSkippedInserts) {
  // Records of two blocks interleave in the Blk tables; each INSERT copies its own block's
  // lines, circles, arcs and texts, each kind in table order.
  TDrawingModel m;
  m.BlockAry.push_back(Block(u"A"));
  m.BlockAry.push_back(Block(u"B", {100, 0, 0}));
  m.BlockAry.push_back(Block(u"A", {50, 0, 0}));  // a second block of the same name is not used
  m.BlkLineAry.push_back(Line(u"A", {1, 0, 0}, {1, 1, 0}));
  m.BlkLineAry.push_back(Line(u"B", {101, 0, 0}, {101, 1, 0}));
  m.BlkLineAry.push_back(Line(u"A", {2, 0, 0}, {2, 1, 0}));
  m.BlkArcAry.push_back(Arc(u"B", 0, 90));
  m.BlkLineAry.push_back(Line(u"b", {9, 9, 0}, {9, 9, 0}));  // names are case-sensitive
  m.EntInsertAry.push_back(Insert(u"B", {0, 10, 0}));
  m.EntInsertAry.push_back(Insert(u"MISSING", {}));
  TInsertBlk hidden = Insert(u"A", {});
  hidden.code60 = 1;
  m.EntInsertAry.push_back(hidden);
  m.EntInsertAry.push_back(Insert(u"A", {0, 20, 0}));
  ExpandInserts(m);
  ASSERT_EQ(m.LineAry.size(), 3u);
  ExpectNear(m.LineAry[0].st, {1, 10, 0});
  ExpectNear(m.LineAry[1].st, {1, 20, 0});
  ExpectNear(m.LineAry[2].st, {2, 20, 0});
  ASSERT_EQ(m.ArcAry.size(), 1u);
  ExpectNear(m.ArcAry[0].center, {-100, 10, 0});
}

TEST(Expand, CopiesOfATextShareItsContent) {
  TDrawingModel m;
  m.BlockAry.push_back(Block(u"B"));
  TTextBlk t;
  t.bname = u"B";
  t.str = u"a label longer than a short string";
  m.BlkTextAry.push_back(t);
  for (double x : {0.0, 10.0, 20.0}) m.EntInsertAry.push_back(Insert(u"B", {x, 0, 0}));
  ExpandInserts(m);
  ASSERT_EQ(m.TextAry.size(), 3u);
  for (const TTextBlk& copy : m.TextAry) {
    EXPECT_EQ(copy.str, u"a label longer than a short string");
    EXPECT_EQ(&copy.str.str(), &m.BlkTextAry[0].str.str());
  }
  ExpectNear(m.TextAry[2].pt10, {20, 0, 0});
}

TEST(Expand, DimensionBlockCopiedAsItStands) {
  TDrawingModel m;
  m.BlockAry.push_back(Block(u"*D1"));
  m.BlkLineAry.push_back(Line(u"*D1", {5, 5, 0}, {15, 5, 0}, u"DIM", 2));
  m.BlkArcAry.push_back(Arc(u"*D1", 0, 45));
  TCircleBlk c;
  c.bname = u"*D1";
  m.BlkCircleAry.push_back(c);
  TTextBlk t;
  t.bname = u"*D1";
  t.str = u"10";
  t.pt10 = {10, 6, 0};
  m.BlkTextAry.push_back(t);
  TSolidBlk s;
  s.bname = u"*D1";
  s.layer = u"DIM";
  s.color = 2;
  s.ltype = u"BYLAYER";
  s.p1 = {5, 5, 0};
  s.p2 = {6, 5.2, 0};
  s.p3 = {6, 4.8, 0};
  s.p4 = s.p3;
  m.BlkSolidAry.push_back(s);
  TDimensionBlk d;
  d.dimblkName = u"*D1";
  m.DimensionAry.push_back(d);
  ExpandBlocks(m);
  ASSERT_EQ(m.LineAry.size(), 4u);
  ExpectNear(m.LineAry[0].st, {5, 5, 0});
  ExpectNear(m.LineAry[1].st, {5, 5, 0});
  ExpectNear(m.LineAry[1].ed, {6, 5.2, 0});
  ExpectNear(m.LineAry[2].ed, {6, 4.8, 0});
  ExpectNear(m.LineAry[3].ed, {5, 5, 0});
  EXPECT_EQ(m.LineAry[3].bname, u"*D1");
  EXPECT_EQ(m.LineAry[3].layer, u"DIM");
  EXPECT_EQ(m.LineAry[3].color, 2);
  EXPECT_EQ(m.ArcAry.size(), 1u);
  EXPECT_EQ(m.TextAry.size(), 1u);
  EXPECT_TRUE(m.CircleAry.empty());
}

// Block A (base `baseA`) holds an INSERT of block B at (5, 0); B holds a line (0,0)-(1,0).
TDrawingModel NestedFixture(TAcadPoint baseA, const TInsertBlk& placeA) {
  TDrawingModel m;
  TBlockBlk a = Block(u"A", baseA);
  TInsertBlk inner = Insert(u"B", {5, 0, 0});
  inner.dimBlkName = u"A";
  a.InsertAry.push_back(inner);
  m.BlockAry.push_back(a);
  m.BlockAry.push_back(Block(u"B"));
  m.BlkLineAry.push_back(Line(u"B", {0, 0, 0}, {1, 0, 0}));
  m.EntInsertAry.push_back(placeA);
  return m;
}

TEST(Expand, NestedInsertPlacedThroughItsBlock) {
  TDrawingModel m = NestedFixture({0, 0, 0}, Insert(u"A", {100, 0, 0}, 90));
  ExpandBlocks(m);
  ASSERT_EQ(m.NestInsertAry.size(), 1u);
  ExpectNear(m.NestInsertAry[0].base, {100, 5, 0});
  EXPECT_DOUBLE_EQ(m.NestInsertAry[0].rotate, 90);
  ASSERT_EQ(m.LineAry.size(), 1u);
  ExpectNear(m.LineAry[0].st, {100, 5, 0});
  ExpectNear(m.LineAry[0].ed, {100, 6, 0});

  TDrawingModel shifted = NestedFixture({2, 0, 0}, Insert(u"A", {0, 0, 0}));
  ExpandBlocks(shifted);
  ExpectNear(shifted.NestInsertAry[0].base, {3, 0, 0});
}

TEST(Expand, NestedInsertInAMirroredBlockTurnsTheOtherWay) {
  TDrawingModel m = NestedFixture({0, 0, 0}, Insert(u"A", {0, 0, 0}, 0, {-1, 1, 1}));
  m.BlockAry[0].InsertAry[0].rotate = 90;
  ExpandBlocks(m);
  ASSERT_EQ(m.LineAry.size(), 1u);
  // B's line points along +y inside A; mirroring A in x keeps it pointing up, at x = -5.
  ExpectNear(m.LineAry[0].st, {-5, 0, 0});
  ExpectNear(m.LineAry[0].ed, {-5, 1, 0});
}

TEST(Expand, NestedInsertsOfHiddenOrUnplacedBlocksAreNotDrawn) {
  TInsertBlk hidden = Insert(u"A", {100, 0, 0});
  hidden.code60 = 1;
  TDrawingModel m = NestedFixture({0, 0, 0}, hidden);
  ExpandBlocks(m);
  EXPECT_TRUE(m.LineAry.empty());

  // A block that no INSERT places: its content is not part of the drawing.
  TDrawingModel unplaced = NestedFixture({0, 0, 0}, Insert(u"OTHER", {}));
  ExpandBlocks(unplaced);
  EXPECT_TRUE(unplaced.LineAry.empty());
}

TEST(Expand, AnonymousBlocks) {
  // A dimension's block holding an INSERT: drawn where it stands, with the block's layer.
  TDrawingModel dim = NestedFixture({0, 0, 0}, Insert(u"OTHER", {}));
  dim.BlockAry[0].name = u"*D2";
  dim.BlockAry[0].layer = u"DIMS";
  dim.BlockAry[0].InsertAry[0].dimBlkName = u"*D2";
  TDimensionBlk d;
  d.dimblkName = u"*D2";
  dim.DimensionAry.push_back(d);
  ExpandBlocks(dim);
  ASSERT_EQ(dim.LineAry.size(), 1u);
  ExpectNear(dim.LineAry[0].st, {5, 0, 0});
  EXPECT_EQ(dim.LineAry[0].layer, u"DIMS");

  // An anonymous block placed by an INSERT (as dynamic blocks are): its nested blocks appear
  // once, where the INSERT puts them, also when the drawing has dimensions.
  for (bool withDimension : {false, true}) {
    SCOPED_TRACE(withDimension);
    TDrawingModel m = NestedFixture({0, 0, 0}, Insert(u"*U7", {100, 0, 0}));
    m.BlockAry[0].name = u"*U7";
    m.BlockAry[0].InsertAry[0].dimBlkName = u"*U7";
    if (withDimension) m.DimensionAry.push_back(d);
    ExpandBlocks(m);
    ASSERT_EQ(m.LineAry.size(), 1u);
    ExpectNear(m.LineAry[0].st, {105, 0, 0});
  }
}

// Blocks B0 .. B{depth-1}: each holds a line from (0,0) to (1,0) and, but the last, an INSERT of
// the next at (10, 0) turned by 90 degrees; B0 is placed at (1000, 0).
TDrawingModel Chain(int depth, int fanOut = 1) {
  TDrawingModel m;
  for (int i = 0; i < depth; ++i) {
    const std::u16string name = u"B" + std::u16string(1, static_cast<char16_t>(u'0' + i));
    TBlockBlk b = Block(name);
    for (int k = 0; i + 1 < depth && k < fanOut; ++k) {
      TInsertBlk next = Insert(u"B" + std::u16string(1, static_cast<char16_t>(u'0' + i + 1)), {10, 0, 0}, 90);
      next.dimBlkName = name;
      b.InsertAry.push_back(next);
    }
    m.BlockAry.push_back(b);
    m.BlkLineAry.push_back(Line(name, {0, 0, 0}, {1, 0, 0}));
  }
  m.EntInsertAry.push_back(Insert(u"B0", {1000, 0, 0}));
  return m;
}

TEST(Expand, BlocksNestedFiveDeepAreAllDrawn) {
  TDrawingModel m = Chain(5);
  ExpandInserts(m);
  ExpandBlocks(m);
  ASSERT_EQ(m.LineAry.size(), 5u);
  // Each level moves 10 along its own x axis and turns a quarter: (1000,0), (1010,0),
  // (1010,10), (1000,10), and (1000,0) again after a full turn.
  ExpectNear(m.LineAry[0].st, {1000, 0, 0});
  ExpectNear(m.LineAry[2].st, {1010, 10, 0});
  ExpectNear(m.LineAry[2].ed, {1009, 10, 0});
  ExpectNear(m.LineAry[4].st, {1000, 0, 0});
  ExpectNear(m.LineAry[3].ed, {1000, 9, 0});
  ExpectNear(m.LineAry[4].ed, {1001, 0, 0});
  EXPECT_FALSE(m.expansionCut);
}

TEST(Expand, BlocksThatInsertThemselvesEnd) {
  // A block inside itself, and two blocks inside each other.
  TDrawingModel self = Chain(1);
  TInsertBlk again = Insert(u"B0", {1, 0, 0});
  again.dimBlkName = u"B0";
  self.BlockAry[0].InsertAry.push_back(again);
  ExpandInserts(self);
  ExpandBlocks(self);
  EXPECT_EQ(self.LineAry.size(), 2u) << "the block and its first copy inside itself";

  TDrawingModel pair = Chain(2);
  TInsertBlk back = Insert(u"B0", {1, 0, 0});
  back.dimBlkName = u"B1";
  pair.BlockAry[1].InsertAry.push_back(back);
  ExpandInserts(pair);
  ExpandBlocks(pair);
  EXPECT_EQ(pair.LineAry.size(), 3u) << "B0, B1 inside it and B0 inside that; then B1 is met again";
  EXPECT_FALSE(pair.expansionCut);
}

TEST(Expand, TheBoundOnDeepCopiesStopsAndSaysSo) {
  // Eight levels, each placing the next three times: 3^7 copies at the deepest level alone.
  TDrawingModel m = Chain(8, 3);
  const TBlockIndex index(m);
  const TCopyCounts c = CountExpansion(m, index);
  ExpandInserts(m, index);
  ExpandBlocks(m, index);
  EXPECT_EQ(m.LineAry.size(), 1u + 3u + 9u + 27u + 81u + 243u + 729u + 2187u);
  EXPECT_FALSE(m.expansionCut);
  EXPECT_EQ(c.lines, m.LineAry.size());

  TDrawingModel cut = Chain(8, 3);
  ExpandInserts(cut);
  cut.NestInsertAry.clear();
  // What ExpandBlocks would hand over, with a budget of 100 copies.
  const TBlockIndex cutIndex(cut);
  cut.NestInsertAry = {Insert(u"B1", {0, 0, 0})};
  ExpandNestedInserts(cut, cutIndex, 100);
  EXPECT_TRUE(cut.expansionCut);
  EXPECT_EQ(cut.LineAry.size(), 1u + 100u) << "B0, then B1 and as many copies below it as the budget allows";
}

TEST(Expand, CountExpansionIsWhatTheExpansionAdds) {
  // Every way a block gets copied, and every way it does not: nested INSERTs of placed,
  // hidden, unplaced, mirrored and anonymous blocks, INSERTs of missing blocks, dimensions.
  std::vector<std::pair<const char*, TDrawingModel>> cases;
  cases.emplace_back("placed", NestedFixture({0, 0, 0}, Insert(u"A", {100, 0, 0}, 90)));
  TInsertBlk hidden = Insert(u"A", {});
  hidden.code60 = 1;
  cases.emplace_back("hidden", NestedFixture({0, 0, 0}, hidden));
  cases.emplace_back("unplaced", NestedFixture({0, 0, 0}, Insert(u"OTHER", {})));
  cases.emplace_back("mirrored", NestedFixture({0, 0, 0}, Insert(u"A", {}, 0, {-1, 1, 1})));
  TDrawingModel twice = NestedFixture({0, 0, 0}, Insert(u"A", {}));
  twice.EntInsertAry.push_back(Insert(u"B", {1, 1, 0}));
  twice.EntInsertAry.push_back(Insert(u"B", {2, 2, 0}));
  twice.BlkArcAry.push_back(Arc(u"B", 0, 90));
  twice.BlkTextAry.push_back([] {
    TTextBlk t;
    t.bname = u"B";
    t.str = u"T";
    return t;
  }());
  cases.emplace_back("placed directly and through A", std::move(twice));
  cases.emplace_back("five deep", Chain(5));
  TDrawingModel fills = Chain(4);
  TFillBlk f;
  f.bname = u"B3";
  fills.BlkFillAry.push_back(f);
  cases.emplace_back("fills deep down", std::move(fills));
  for (bool placed : {false, true}) {
    TDrawingModel dim = NestedFixture({0, 0, 0}, Insert(placed ? u"*D2" : u"OTHER", {}));
    dim.BlockAry[0].name = u"*D2";
    dim.BlockAry[0].InsertAry[0].dimBlkName = u"*D2";
    TSolidBlk s;
    s.bname = u"*D2";
    dim.BlkSolidAry.push_back(s);
    dim.BlkLineAry.push_back(Line(u"*D2", {}, {1, 0, 0}));
    TDimensionBlk d;
    d.dimblkName = u"*D2";
    dim.DimensionAry.push_back(d);
    TDimensionBlk other;
    other.dimblkName = u"*D9";  // a dimension whose block is missing
    dim.DimensionAry.push_back(other);
    cases.emplace_back(placed ? "anonymous, placed, with dimensions" : "anonymous dimension block", std::move(dim));
  }
  for (auto& [name, m] : cases) {
    SCOPED_TRACE(name);
    const TBlockIndex index(m);
    const TCopyCounts c = CountExpansion(m, index);
    ExpandInserts(m, index);
    ExpandBlocks(m, index);
    EXPECT_EQ(c.lines, m.LineAry.size());
    EXPECT_EQ(c.circles, m.CircleAry.size());
    EXPECT_EQ(c.arcs, m.ArcAry.size());
    EXPECT_EQ(c.texts, m.TextAry.size());
    EXPECT_EQ(c.fills, m.FillAry.size());
  }
}

}  // namespace
}  // namespace tesmar
