#include "dxf/model.h"

#include <bit>
#include <cmath>
#include <string>
#include <thread>
#include <vector>

#include <gtest/gtest.h>

#include "base/codepage.h"
#include "base/strings.h"

namespace tesmar {
namespace {

TEST(DrawingModel, RecordPresets) {
  EXPECT_EQ(TLayer{}.color, 7);
  EXPECT_EQ(TLayer{}.ltype, u"CONTINUOUS");
  EXPECT_TRUE(TLayer{}.visible);
  EXPECT_EQ(TAcadLineBlk{}.layer, u"0");
  EXPECT_EQ(TAcadLineBlk{}.ltype, u"BYLAYER");
  EXPECT_EQ(TAcadLineBlk{}.color, 256);
  EXPECT_EQ(TCircleBlk{}.code210, MakeAcadPoint(0, 0, 1));
  EXPECT_EQ(TInsertBlk{}.scale, MakeAcadPoint(1, 1, 1));
  EXPECT_EQ(TTextBlk{}.layer, u"");
  EXPECT_EQ(TTextBlk{}.code41, 1);
  EXPECT_EQ(TTextBlk{}.code44, 1);
  EXPECT_EQ(TFaceBlk{}.count, 3);
  EXPECT_EQ(TSplineBlk{}.code210, MakeAcadPoint(0, 0, 0));
  EXPECT_EQ(TBlockBlk{}.layer, u"");
}

TEST(DrawingModel, LayerOperations) {
  auto layer = [](std::u16string name, std::int16_t color, bool visible) {
    TLayer l;
    l.Name = std::move(name);
    l.color = color;
    l.visible = visible;
    return l;
  };
  TDrawingModel m;
  m.LayerAry.push_back(layer(u"a", 3, true));
  m.LayerAry.push_back(layer(u"b", -2, false));
  m.LayerAry.push_back(layer(u"a", 5, true));

  EXPECT_EQ(GetLayerColor(m, u"a"), 3) << "first match wins";
  EXPECT_EQ(GetLayerColor(m, u"A"), 7) << "names are case-sensitive";
  ASSERT_EQ(m.LayerAry.size(), 4u);
  EXPECT_EQ(m.LayerAry[3].Name, u"A");
  EXPECT_EQ(m.LayerAry[3].ltype, u"CONTINUOUS");
  EXPECT_TRUE(m.LayerAry[3].visible);
  EXPECT_EQ(GetLayerColor(m, u"A"), 7);
  EXPECT_EQ(m.LayerAry.size(), 4u) << "a second call adds nothing";

  EXPECT_EQ(GetLayerIndex(m, u"a"), 0);
  EXPECT_EQ(GetLayerIndex(m, u"b"), 1);
  EXPECT_EQ(GetLayerIndex(m, u"B"), -1);

  EXPECT_TRUE(LayerVisibleAt(m, -1));
  EXPECT_TRUE(LayerVisibleAt(m, 4));
  EXPECT_FALSE(LayerVisibleAt(m, 1));
  EXPECT_FALSE(LayerVisible(m, u"b"));
  EXPECT_TRUE(LayerVisible(m, u"B"));
  EXPECT_TRUE(LayerVisible(m, u"none"));

  SetLayerVisible(m, u"a", false);
  EXPECT_FALSE(m.LayerAry[0].visible);
  EXPECT_TRUE(m.LayerAry[2].visible) << "only the first match";
  SetLayerVisible(m, u"none", false);
  EXPECT_EQ(m.LayerAry.size(), 4u);

  TDrawingModel empty;
  EXPECT_EQ(GetLayerColor(empty, u"x"), 7);
  EXPECT_EQ(empty.LayerAry.size(), 1u);
}

TEST(DrawingModel, ClearAllAndTableNames) {
  TDrawingModel m;
  m.LineAry.resize(3);
  m.BlockAry.resize(1);
  m.BlockAry[0].InsertAry.resize(2);
  m.ViewAry.resize(2);
  const auto counts = TableCounts(m);
  ASSERT_EQ(counts.size(), 33u);
  EXPECT_STREQ(counts.front().name, "LayerAry");
  EXPECT_STREQ(counts.back().name, "ProxyAry");
  std::size_t total = 0;
  for (const auto& c : counts) total += c.count;
  EXPECT_EQ(total, 6u);
  ClearAll(m);
  for (const auto& c : TableCounts(m)) EXPECT_EQ(c.count, 0u) << c.name;
}

TEST(DrawingModel, NamesAreEqualExactlyWhenTheirTextsAre) {
  const std::u16string texts[] = {u"", u"0", u"WALL", u"wall", u"WALL ", u"壁", u"LAYER-WITH-A-LONG-NAME-01"};
  for (const std::u16string& a : texts) {
    SCOPED_TRACE(Utf16ToUtf8(a));
    const TName n(a);
    EXPECT_EQ(n.str(), a);
    EXPECT_EQ(static_cast<std::u16string_view>(n), a);
    EXPECT_TRUE(n == a);
    EXPECT_TRUE(n == a.c_str());
    for (const std::u16string& b : texts) {
      EXPECT_EQ(TName(a) == TName(b), a == b) << Utf16ToUtf8(b);
      EXPECT_EQ(TName(a).TextAddress() == TName(b).TextAddress(), a == b) << Utf16ToUtf8(b);
    }
  }
  EXPECT_EQ(TName(), TName(u"")) << "the default name is the empty one";
  EXPECT_TRUE(TName().empty());
  // Assigning a string stores its text, not the string object.
  std::u16string text = u"DOOR";
  TName n;
  n = text;
  text = u"WINDOW";
  EXPECT_EQ(n, u"DOOR");
  EXPECT_EQ(u"Layer " + n + u"!", u"Layer DOOR!");
  EXPECT_EQ(std::u16string(n.begin(), n.end()), n.c_str());
}

TEST(DrawingModel, NamesFromSeveralThreadsAgree) {
  constexpr int kNames = 5000;  // more than one slot of the name table, made while others read
  std::vector<std::vector<TName>> seen(4);
  std::vector<std::thread> threads;
  for (auto& names : seen) {
    threads.emplace_back([&names] {
      for (int i = 0; i < kNames; ++i) names.emplace_back(u"THREADED-" + IntToStr16(i));
    });
  }
  for (std::thread& t : threads) t.join();
  for (std::size_t t = 1; t < seen.size(); ++t) EXPECT_EQ(seen[t], seen[0]);
  for (int i = 0; i < kNames; ++i) ASSERT_EQ(seen[0][i].str(), u"THREADED-" + IntToStr16(i));
}

bool SameBits(const TAcadPoint& a, const TAcadPoint& b) {
  return std::bit_cast<std::uint64_t>(a.x) == std::bit_cast<std::uint64_t>(b.x) &&
         std::bit_cast<std::uint64_t>(a.y) == std::bit_cast<std::uint64_t>(b.y) &&
         std::bit_cast<std::uint64_t>(a.z) == std::bit_cast<std::uint64_t>(b.z);
}

TEST(DrawingModel, ExtrusionsKeepEveryDirectionExactly) {
  const TAcadPoint directions[] = {{0, 0, 1}, {0, 0, -1}, {0, 0, 0}, {-0.0, 0, 1}, {0, 0, -0.0},
                                   {0.6, 0, 0.8}, {1e-300, 0, 1}, {0, 0, 2}};
  EXPECT_TRUE(SameBits(TExtrusion(), kDefaultExtrusion));
  EXPECT_TRUE(SameBits(TArcBlk{}.code210, kDefaultExtrusion));
  for (const TAcadPoint& a : directions) {
    for (const TAcadPoint& b : directions) {
      SCOPED_TRACE(testing::Message() << a.x << ' ' << a.y << ' ' << a.z << " / " << b.x << ' ' << b.y << ' ' << b.z);
      TExtrusion e(a);
      ASSERT_TRUE(SameBits(e, a));
      TExtrusion copy = e;
      e = b;  // the copy keeps its own direction
      EXPECT_TRUE(SameBits(e, b));
      EXPECT_TRUE(SameBits(copy, a));
      copy = e;
      EXPECT_TRUE(SameBits(copy, b));
      const TExtrusion& self = copy;
      copy = self;
      EXPECT_TRUE(SameBits(copy, b));
      TExtrusion moved = std::move(copy);
      EXPECT_TRUE(SameBits(moved, b));
      copy = a;  // a moved-from direction can be set again
      EXPECT_TRUE(SameBits(copy, a));
      EXPECT_EQ(TExtrusion(a) == TExtrusion(b), a == b);
    }
  }
  // Set a coordinate at a time, as a file gives them.
  TCircleBlk c;
  TAcadPoint p = c.code210;
  p.x = 0.6, c.code210 = p;
  p.z = 0.8, c.code210 = p;
  EXPECT_TRUE(SameBits(c.code210, {0.6, 0, 0.8}));
}

TEST(DrawingModel, TextContentIsSharedUntilChanged) {
  TTextBlk a;
  EXPECT_TRUE(a.str.empty());
  EXPECT_EQ(a.str, u"");
  a.str = u"a text longer than a short string holds";
  TTextBlk b = a;
  EXPECT_EQ(&a.str.str(), &b.str.str()) << "a copy shares the text";
  b.str.Mutable() += u"!";
  EXPECT_EQ(a.str, u"a text longer than a short string holds");
  EXPECT_EQ(b.str, u"a text longer than a short string holds!");
  TTextBlk c = b;
  c.str = u"other";
  EXPECT_EQ(b.str, u"a text longer than a short string holds!");
  EXPECT_EQ(c.str.size(), 5u);
  TTextBlk empty;
  empty.str.Mutable() = u"set in place";
  EXPECT_EQ(empty.str, u"set in place");
  // An empty text made in place and then shared gives its changer a copy of its own.
  TTextBlk blank;
  blank.str.Mutable();
  TTextBlk shared = blank;
  shared.str.Mutable() = u"changed";
  EXPECT_EQ(shared.str, u"changed");
  EXPECT_TRUE(blank.str.empty());
  a = std::move(b);
  EXPECT_EQ(a.str, u"a text longer than a short string holds!");
}

}  // namespace
}  // namespace tesmar
