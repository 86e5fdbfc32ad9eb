#include <gtest/gtest.h>

#include "render/canvas_recording.h"
#include "render/prepare_canvas.h"

namespace tesmar {
namespace {

// PrepareCanvas sets only the properties that differ, fills in copy mode and leaves the pen
// white; the rectangle is always drawn with the target colour on pen and brush.
TEST(PrepareCanvas, SetsOnlyWhatDiffersAndLeavesPenWhiteInCopyMode) {
  struct Case {
    const char* name;
    std::function<void(RecordingCanvas&)> setup;
    Colour colour;
    std::vector<std::string> expected;
  };
  const std::vector<Case> cases = {
      {"fresh canvas, black", [](RecordingCanvas&) {}, 0,
       {"SetBrushColour(0)", "Rectangle(0,0,45,45)", "SetPenColour(16777215)"}},
      {"pen in invert mode", [](RecordingCanvas& c) { c.SetPenMode(PenMode::Invert); }, 0,
       {"SetBrushColour(0)", "SetPenMode(0)", "Rectangle(0,0,45,45)", "SetPenColour(16777215)"}},
      {"clear brush, xor pen, red", [](RecordingCanvas& c) {
         c.SetBrushStyle(BrushStyle::Clear);
         c.SetPenMode(PenMode::Xor);
       }, 0x0000FF,
       {"SetBrushStyle(0)", "SetBrushColour(255)", "SetPenColour(255)", "SetPenMode(0)",
        "Rectangle(0,0,45,45)", "SetPenColour(16777215)"}},
      {"already black brush and pen", [](RecordingCanvas& c) {
         c.SetBrushColour(0);
         c.SetPenColour(0);
       }, 0, {"Rectangle(0,0,45,45)", "SetPenColour(16777215)"}},
      {"clearing to white leaves the pen alone afterwards", [](RecordingCanvas&) {}, kWhite,
       {"SetPenColour(16777215)", "Rectangle(0,0,45,45)"}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    RecordingCanvas canvas;
    canvas.SetPenWidth(3);
    canvas.SetPenStyle(2);  // dot
    c.setup(canvas);
    canvas.calls.clear();
    PrepareCanvas(canvas, 45, 45, c.colour);
    EXPECT_EQ(canvas.Log(), c.expected);
    ASSERT_FALSE(canvas.calls.empty());
    const CanvasCall* rect = nullptr;
    for (const auto& call : canvas.calls)
      if (call.op == "Rectangle") rect = &call;
    ASSERT_NE(rect, nullptr);
    EXPECT_EQ(rect->pen.mode, PenMode::Copy);
    EXPECT_EQ(rect->pen.colour, c.colour);
    EXPECT_EQ(rect->brush, (BrushState{BrushStyle::Solid, c.colour}));
    EXPECT_EQ(canvas.Pen(), (PenState{kWhite, 3, 2, PenMode::Copy}));
  }
}

TEST(RecordingCanvas, LogsPrimitivesWithTheirPenAndKeepsFontsStacked) {
  RecordingCanvas c;
  c.SetPenColour(0x00FF00);
  c.MoveTo(1, 2);
  c.LineTo(-3, 4);
  {
    ScopedFont f(c, LogicalFont{.height = 13, .width = 5, .escapement = 900, .face = u"Tahoma"});
    EXPECT_EQ(c.Font().escapement, 900);
    EXPECT_EQ(c.TextWidth(u"abc"), 24);
    c.TextOut(5, 6, u"漢字");
  }
  EXPECT_EQ(c.FontDepth(), 0);
  EXPECT_THROW(c.PopFont(), std::logic_error);
  EXPECT_EQ(c.Log({"LineTo", "TextOut", "PushFont", "PopFont"}),
            (std::vector<std::string>{"LineTo(-3,4)", "PushFont(13,5,900,\"Tahoma\")",
                                      "TextOut(5,6,\"漢字\")", "PopFont()"}));
  EXPECT_EQ(c.calls[2].pen.colour, 0x00FF00u);
  EXPECT_EQ(c.calls[5].font.face, u"Tahoma");
}

}  // namespace
}  // namespace tesmar
