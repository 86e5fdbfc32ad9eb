#include "render/colours.h"

#include <gtest/gtest.h>

#include "base/codepage.h"

namespace tesmar {
namespace {

constexpr Colour Rgb(unsigned r, unsigned g, unsigned b) { return r | (g << 8) | (b << 16); }

TEST(Colours, AciPalette) {
  struct Case {
    int index;
    Colour want;
  };
  const Case cases[] = {
      {1, 0x0000FF},          {5, 0xFF0000},          {3, 0x00FF00},          {-3, 0x00FF00},
      {0, 0xFFFFFF},          {7, 0xFFFFFF},          {256, 0xFFFFFF},        {300, 0xFFFFFF},
      {-32768, 0xFFFFFF},     {8, 0x808080},          {9, Rgb(192, 192, 192)}, {250, 0x333333},
      {255, 0xFFFFFF},        {10, Rgb(255, 0, 0)},   {11, Rgb(255, 127, 127)}, {12, Rgb(204, 0, 0)},
      {20, Rgb(255, 63, 0)},  {21, Rgb(255, 159, 127)}, {23, Rgb(204, 127, 102)}, {26, Rgb(127, 31, 0)},
      {29, Rgb(76, 47, 38)},  {245, Rgb(153, 76, 95)}, {50, Rgb(255, 255, 0)}, {90, Rgb(0, 255, 0)},
      {130, Rgb(0, 255, 255)}, {170, Rgb(0, 0, 255)}, {210, Rgb(255, 0, 255)}, {140, Rgb(0, 191, 255)},
      {249, Rgb(76, 38, 47)},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.index);
    EXPECT_EQ(AciToColor(c.index), c.want);
  }
}

TEST(Colours, LinetypeToPenStyleByPrefix) {
  struct Case {
    const char16_t* name;
    TPenStyle want;
  };
  const Case cases[] = {
      {u"CONTINUOUS", psSolid}, {u"HIDDEN2", psDot},  {u"DASHED", psDot},        {u"DASHDOT", psDashDot},
      {u"CENTER", psDashDot},   {u"BORDER", psDashDot}, {u"PHANTOM", psDashDotDot}, {u"DEVIDE", psDashDotDot},
      {u"DOTTED", psDot},       {u"hidden", psDot},   {u"DIVIDE", psSolid},      {u"ACAD_ISO02W100", psSolid},
      {u"XHIDDEN", psSolid},    {u"", psSolid},       {u"BYBLOCK", psSolid},     {u"DASH", psSolid},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(Utf16ToUtf8(c.name));
    EXPECT_EQ(LinetypeToPenStyle(c.name), c.want);
  }
}

TEST(Colours, ResolvePenStyleFollowsOnlyExactBylayer) {
  TDrawingModel m;
  m.LayerAry.push_back({.Name = u"WALL", .ltype = u"HIDDEN"});
  m.LayerAry.push_back({.Name = u"WALL", .ltype = u"CENTER"});  // second of the name: not used
  EXPECT_EQ(ResolvePenStyle(m, u"BYLAYER", u"WALL"), psDot);
  EXPECT_EQ(ResolvePenStyle(m, u"", u"WALL"), psDot);
  EXPECT_EQ(ResolvePenStyle(m, u"bylayer", u"WALL"), psSolid);
  EXPECT_EQ(ResolvePenStyle(m, u"BYLAYER", u"wall"), psSolid);
  EXPECT_EQ(ResolvePenStyle(m, u"BYLAYER", u"DOOR"), psSolid);
  EXPECT_EQ(ResolvePenStyle(m, u"PHANTOM", u"WALL"), psDashDotDot);
}

TEST(Colours, AssignPensFillsEveryDrawableTable) {
  TDrawingModel m;
  m.LayerAry.push_back({.Name = u"0"});
  m.LayerAry.push_back({.Name = u"WALL", .ltype = u"HIDDEN"});
  TAcadLineBlk line;
  line.layer = u"WALL";
  line.color = -1;  // a layer switched off in the file: drawn in the colour of |index|
  m.LineAry.push_back(line);
  TArcBlk arc;
  arc.layer = u"GHOST";
  arc.ltype = u"CENTER";
  arc.color = 5;
  m.ArcAry.push_back(arc);
  TCircleBlk circle;
  circle.color = 256;
  m.CircleAry.push_back(circle);
  TTextBlk text;
  text.layer = u"WALL";
  text.color = 3;
  m.TextAry.push_back(text);

  AssignPens(m);
  EXPECT_EQ(m.LineAry[0].PenColor, 0x0000FFu);
  EXPECT_EQ(m.LineAry[0].PenStyle, psDot);
  EXPECT_EQ(m.LineAry[0].layindex, 1);
  EXPECT_EQ(m.ArcAry[0].PenColor, 0xFF0000u);
  EXPECT_EQ(m.ArcAry[0].PenStyle, psDashDot);
  EXPECT_EQ(m.ArcAry[0].layindex, -1);
  EXPECT_EQ(m.CircleAry[0].PenColor, 0xFFFFFFu);
  EXPECT_EQ(m.CircleAry[0].layindex, 0);
  EXPECT_EQ(m.TextAry[0].PenColor, 0x00FF00u);
  EXPECT_EQ(m.TextAry[0].layindex, 1);
  EXPECT_EQ(m.LayerAry.size(), 2u);  // resolving pens adds no layer
}

TEST(Colours, ColourModes) {
  const Colour red = 0x0000FF, black = 0, white = 0xFFFFFF;
  EXPECT_EQ(ApplyColourMode(red, black, 0), red);
  EXPECT_EQ(ApplyColourMode(black, black, 0), white);
  EXPECT_EQ(ApplyColourMode(red, black, 1), white);
  EXPECT_EQ(ApplyColourMode(red, black, 2), 0xFFFF00u);
  EXPECT_EQ(ApplyColourMode(black, black, 2), white);
  EXPECT_EQ(ApplyColourMode(white, white, 2), black);
  EXPECT_EQ(ApplyColourMode(red, black, 7), red);
  EXPECT_EQ(InvertColor(0xFF123456u), 0xEDCBA9u);
}

TEST(Colours, LuminanceAndContrast) {
  EXPECT_DOUBLE_EQ(RelativeLuminance(0x000000), 0.0);
  EXPECT_DOUBLE_EQ(RelativeLuminance(0xFFFFFF), 1.0);
  EXPECT_NEAR(RelativeLuminance(0x0000FF), 0.2126, 1e-12);  // pure red
  EXPECT_NEAR(RelativeLuminance(0x808080), 0.2158605, 1e-6);
  EXPECT_EQ(ContrastColor(0x000000), 0xFFFFFFu);
  EXPECT_EQ(ContrastColor(0xFFFFFF), Rgb(0, 0, 76));  // index 178, the darkest palette entry
  EXPECT_EQ(ContrastColor(0x00FFFF), Rgb(0, 0, 76));  // yellow
  EXPECT_EQ(ContrastColor(0xFF0000), 0xFFFFFFu);       // blue
}

}  // namespace
}  // namespace tesmar
