// Opening files in the viewer window under Wine: what the image, the status field, the caption
// and the layer list show for good, foreign and missing files.
#include <gtest/gtest.h>

#include "render/colours.h"
#include "tests/support/dxf_fixture.h"
#include "tests/viewer/zoomer_fixture_win.h"

namespace tesmar {
namespace {

using test::ZoomerTest;

std::vector<std::pair<std::u16string, bool>> Layers(TMorvikZoomerForm& f) {
  std::vector<std::pair<std::u16string, bool>> items;
  for (int i = 0; i < f.CheckListBox1().Count(); ++i) items.emplace_back(f.CheckListBox1().Item(i), f.CheckListBox1().Checked(i));
  return items;
}

TEST_F(ZoomerTest, OpensADrawingFittedWithItsLayersStatusAndCaption) {
  Open(Write("plan.dxf", test::DxfPairs(test::kViewerDrawing)));
  EXPECT_TRUE(shown.empty());
  // Extents: x from 0 to 175 (the circle), y from -10 to 70 (the arc's top).
  EXPECT_DOUBLE_EQ(form.g_cadw, 175);
  EXPECT_DOUBLE_EQ(form.g_cadh, 80);
  EXPECT_DOUBLE_EQ(form.g_cadpt.x, 87.5);
  EXPECT_DOUBLE_EQ(form.g_DispScale, 0.95);
  EXPECT_EQ(Caption(), u"plan.dxf ( 175 x 80 )");
  EXPECT_EQ(Status().rfind(u"dX=175.00, dY=80.00 (", 0), 0u) << Utf16ToUtf8(Status());
  EXPECT_EQ(Status().substr(Status().size() - 4), u"sec)");
  // Sorted by name; the layer stored as off is unchecked.
  EXPECT_EQ(Layers(form), (std::vector<std::pair<std::u16string, bool>>{
                              {u"0", true}, {u"EMPTY", true}, {u"OFF", false}, {u"RED", true}}));
  EXPECT_EQ(form.CheckListBox1().Colour(2), AciToColor(3));
  // The frame, and the drawing inside it: the first line in white, the red line in red.
  EXPECT_EQ(Pixel(0, 0), RGB(0, 255, 255));
  EXPECT_EQ(Pixel(W() - 1, H() - 1), RGB(0, 255, 255));
  const POINT mid = ScreenOf(50, 0), red = ScreenOf(120, 20);
  EXPECT_EQ(Pixel(mid.x, mid.y), RGB(255, 255, 255));
  EXPECT_EQ(Pixel(red.x, red.y), RGB(255, 0, 0));

  // The same file again: the same view and layer list.
  const TView first = View();
  const auto layers = Layers(form);
  Open(form.dxfFullName);
  EXPECT_EQ(View().g_cadpt, first.g_cadpt);
  EXPECT_EQ(View().g_cadw, first.g_cadw);
  EXPECT_EQ(Layers(form), layers);
}

// Files the reader must not be given, and files that are not there or not DXF: the empty
// frame, no message; "AutoCAD Binary DXF" only for the first kind.
TEST_F(ZoomerTest, ForeignMissingAndWrongFilesShowTheEmptyFrame) {
  struct Case {
    const char* name;
    std::string bytes;  // empty: no file
    const char16_t* status;
  } cases[] = {
      {"dwg-inside.dxf", std::string("AC1027") + std::string(200, '\0'), u"AutoCAD Binary DXF"},
      {"binary.DXF", std::string("AutoCAD Binary DXF\r\n\x1a\0", 22) + std::string(100, '\1'), u"AutoCAD Binary DXF"},
      {"notes.txt", test::DxfPairs(test::kViewerDrawing), u""},
      {"missing.dxf", "", u""},
  };
  Open(Write("plan.dxf", test::DxfPairs(test::kViewerDrawing)));
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    const std::u16string path = c.bytes.empty() ? U16FromPath(dir / c.name) : Write(c.name, c.bytes);
    Open(path);
    EXPECT_EQ(Caption(), Ascii16(c.name));
    EXPECT_EQ(Status(), c.status);
    EXPECT_TRUE(ShowsEmptyFrame());
    EXPECT_EQ(form.CheckListBox1().Count(), 0);
  }
  EXPECT_TRUE(shown.empty());
  // The previous drawing went with the failed opening: a full redraw shows the empty frame,
  // and the pointer shows no coordinates of it.
  form.FormResize();
  EXPECT_TRUE(ShowsEmptyFrame());
  Move(200, 150);
  EXPECT_EQ(Status(), u"");
}

TEST_F(ZoomerTest, ASinglePointDrawingHasNoSize) {
  Open(Write("point.dxf", test::EntitiesSection("0 LINE\n8 0\n10 5\n20 5\n11 5\n21 5\n")));
  EXPECT_EQ(Status().rfind(u"dX=0.00, dY=0.00 (", 0), 0u) << Utf16ToUtf8(Status());
  EXPECT_TRUE(ShowsEmptyFrame());
  // The pointer over it writes no coordinates.
  Move(10, 10);
  EXPECT_EQ(Status().rfind(u"dX=", 0), 0u);
}

TEST_F(ZoomerTest, RealDrawingsOpen) {
  TESMAR_REQUIRE_TESTDATA();
  for (const char* name : {"acadsharp__sample_AC1015_ascii.dxf", "libredwg__2007__Arc.dxf"}) {
    SCOPED_TRACE(name);
    Open(U16FromPath(test::SharedTestdata() / "dxf" / name));
    EXPECT_TRUE(shown.empty());
    EXPECT_EQ(Status().rfind(u"dX=", 0), 0u);
    EXPECT_NE(Caption().find(u" ( "), std::u16string::npos);
    EXPECT_GT(form.CheckListBox1().Count(), 0);
    EXPECT_GT(CountNotBlack(1, 1, W() - 1, H() - 1), 0);
  }
}

// The layer list paints each item in its layer's colour with the contrasting text colour,
// leaving the margin that the display scale asks for.
TEST_F(ZoomerTest, LayerItemsArePaintedInTheLayerColour) {
  EXPECT_EQ(TMorvikZoomerForm::ItemMargin(0), 1);
  EXPECT_EQ(TMorvikZoomerForm::ItemMargin(125), 1);
  EXPECT_EQ(TMorvikZoomerForm::ItemMargin(150), 2);
  EXPECT_EQ(TMorvikZoomerForm::ItemMargin(250), 2);
  EXPECT_EQ(TMorvikZoomerForm::ItemMargin(350), 4);
  Open(Write("plan.dxf", test::DxfPairs(test::kViewerDrawing)));
  form.dispScale = 150;
  ui::DibBitmap bmp(100, 20);
  PatBlt(bmp.Dc(), 0, 0, 100, 20, BLACKNESS);
  const RECT item{10, 0, 100, 20};
  struct Case {
    int index;
    COLORREF field;
  } cases[] = {{3, RGB(255, 0, 0)}, {0, RGB(0, 0, 0)}};  // RED; 0 is white, painted black
  for (const Case& c : cases) {
    form.CheckListBox1DrawItem(bmp.Dc(), c.index, item);
    EXPECT_EQ(bmp.Pixel(8, 2), c.field) << "field from Left - m";
    EXPECT_EQ(bmp.Pixel(8, 1), RGB(0, 0, 0)) << "margin at the top";
    EXPECT_EQ(bmp.Pixel(98, 10), RGB(0, 0, 0)) << "margin at the right";
    int text = 0;
    const COLORREF contrast = ContrastColor(c.field);
    for (int y = 0; y < 20; ++y)
      for (int x = 14; x < 60; ++x) text += bmp.Pixel(x, y) == contrast;
    EXPECT_GT(text, 5);
  }
}

}  // namespace
}  // namespace tesmar
