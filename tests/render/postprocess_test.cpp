#include "render/postprocess.h"

#include <gtest/gtest.h>

#include "render/colours.h"
#include "render/extents.h"
#include "tests/support/point_expect.h"

namespace tesmar {
namespace {

using test::ExpectNear;

// A model as the reader leaves it: a block with a bulged polyline placed twice, a drawing
// polyline, a tilted circle, an ellipse, a face, a leader, a solid and a spline.
TDrawingModel ReadModel() {
  TDrawingModel m;
  m.LayerAry.push_back({.Name = u"0", .color = 7});
  m.LayerAry.push_back({.Name = u"WALL", .color = 1, .ltype = u"HIDDEN"});

  TBlockBlk block;
  block.name = u"DOOR";
  m.BlockAry.push_back(block);
  TLwpBlk bp;
  bp.bname = u"DOOR";
  bp.ihand = 0;
  m.BlkLwpAry.push_back(bp);
  m.BlkVerAry.push_back({0, {0, 0, 0}, 1});  // half circle below (0,0)-(2,0)
  m.BlkVerAry.push_back({0, {2, 0, 0}, 0});
  m.BlkVerAry.push_back({0, {2, 2, 0}, 0});
  TInsertBlk ins;
  ins.name = u"DOOR";
  ins.layer = u"WALL";
  ins.base = {100, 0, 0};
  ins.code210 = {0, 0, -1};  // copied onto the block lines, which are not mapped again
  m.EntInsertAry.push_back(ins);
  ins.base = {200, 0, 0};
  ins.code210 = kDefaultExtrusion;
  m.EntInsertAry.push_back(ins);

  TLwpBlk p;
  p.ihand = 0;
  p.code70 = 1;
  p.code210 = {0, 0, -1};
  m.LwpAry.push_back(p);
  m.VerAry.push_back({0, {0, 0, 0}, 0});
  m.VerAry.push_back({0, {10, 0, 0}, 0});
  m.VerAry.push_back({0, {10, 10, 0}, 0});

  TCircleBlk tilted;
  tilted.center = {0, 50, 0};
  tilted.hankei = 5;
  tilted.code210 = {0, 0, -1};
  m.CircleAry.push_back(tilted);

  TEllipseBlk e;
  e.center = {0, -50, 0};
  e.endpoint = {10, 0, 0};
  e.henpei = 0.5;
  e.owari = kTwoPi;
  m.EllipseAry.push_back(e);

  TFaceBlk f;
  f.pt = {TAcadPoint{300, 0, 0}, {301, 0, 0}, {300, 1, 0}, {}};
  m.FaceAry.push_back(f);
  TLeaderBlk l;
  l.code76 = 2;
  l.p1 = {0, 0, 0};
  l.p2 = {1, 1, 0};
  m.LeaderAry.push_back(l);
  TSolidBlk s;
  s.p1 = {0, 0, 0};
  s.p2 = {1, 0, 0};
  s.p3 = {0, 1, 0};
  m.SolidAry.push_back(s);
  TSplineBlk sp;
  sp.code70 = 8;
  sp.code10Ary = {{0, 0, 0}, {1, 0, 0}, {2, 1, 0}};
  m.SplineAry.push_back(sp);
  TTextBlk t;
  t.layer = u"0";
  t.str = u"far away";
  t.pt10 = {5000, 5000, 0};
  t.code40 = 1;
  m.TextAry.push_back(t);
  return m;
}

TEST(PostProcessing, RunsEveryStepOnceAndEmptiesTheSourceTables) {
  TDrawingModel m = ReadModel();
  const TBox extents = RunPostProcessing(m);

  EXPECT_TRUE(m.BlkLwpAry.empty() && m.BlkVerAry.empty() && m.LwpAry.empty() && m.VerAry.empty());
  EXPECT_TRUE(m.EllipseAry.empty() && m.FaceAry.empty() && m.LeaderAry.empty() && m.SolidAry.empty());
  EXPECT_TRUE(m.SplineAry.empty() && m.EntInsertAry.empty() && m.NestInsertAry.empty() && m.BlockAry.empty());

  // 3 polyline lines (mirrored once), 36 ellipse lines, 37 circle lines, 2 x 1 block line,
  // 3 face lines, 1 leader line, 3 solid lines, 2 spline lines.
  ASSERT_EQ(m.LineAry.size(), 3u + 37u + 36u + 2u + 3u + 1u + 3u + 2u);
  ExpectNear(m.LineAry[0].ed, {-10, 0, 0});
  ExpectNear(m.LineAry[3].st, {10, -50, 0});
  ExpectNear(m.LineAry[39].st, {-5, 50, 0});
  // The block's line keeps the coordinates the INSERT gave it.
  ExpectNear(m.LineAry[76].st, {102, 0, 0});
  ExpectNear(m.LineAry[76].ed, {102, 2, 0});
  EXPECT_EQ(m.LineAry[76].layer, u"WALL");
  EXPECT_EQ(m.LineAry[76].PenStyle, psDot);
  EXPECT_EQ(m.LineAry[76].PenColor, 0x0000FFu);
  EXPECT_EQ(m.LineAry[76].layindex, 1);
  ASSERT_EQ(m.ArcAry.size(), 2u);  // the bulge of the block polyline, twice
  ExpectNear(m.ArcAry[1].center, {201, 0, 0});
  EXPECT_DOUBLE_EQ(m.ArcAry[1].st, 180);
  EXPECT_EQ(m.CircleAry[0].code67, -1);

  // The far text counts with its letters; the ellipse reaches down to y = -55.
  ExpectNear(extents.min, {-10, -55, 0});
  ExpectNear(extents.max, {5005.78, 5001, 0});  // "far away" is 5.78 heights long

  const TPostFigures f = PostFigures(m, extents, 1.5);
  EXPECT_EQ(f.lines, m.LineAry.size());
  EXPECT_EQ(f.arcs, 2u);
  EXPECT_EQ(f.circles, 1u);
  EXPECT_EQ(f.texts, 1u);
  EXPECT_EQ(f.drawable, m.LineAry.size() + 2u + 1u);  // the replaced circle is not drawable
  const std::string json = PostFiguresJson(f);
  EXPECT_NE(json.find("\"LineAry\":87,"), std::string::npos) << json;
  EXPECT_NE(json.find("\"extents\":[-10,-55,5005.78,5001]"), std::string::npos) << json;
  EXPECT_NE(json.find("\"post_ms\":1.5}"), std::string::npos) << json;
}

TEST(PostProcessing, EmptyModel) {
  TDrawingModel m;
  const TBox b = RunPostProcessing(m);
  EXPECT_EQ(b.min, (TAcadPoint{}));
  EXPECT_EQ(b.max, (TAcadPoint{}));
  EXPECT_EQ(PostFiguresJson(PostFigures(m, b, 0)),
            "{\"LineAry\":0,\"CircleAry\":0,\"ArcAry\":0,\"TextAry\":0,\"drawable\":0,"
            "\"extents\":[0,0,0,0],\"drawn_in_part\":false,\"post_ms\":0}");
}

}  // namespace
}  // namespace tesmar
