#include <gtest/gtest.h>

#include <algorithm>

#include "render/canvas_recording.h"
#include "render/text_draw.h"

namespace tesmar {
namespace {

constexpr TPixel kOrigin{100, 100};

struct TextCase {
  const char* name;
  std::u16string str;
  TAcadPoint pt10, pt11;
  int code72 = 0, code73 = 0;
  double h = 10, code41 = 1, code50 = 0, code44 = 1, s = 1;
  int code71 = 0;
  bool mtflag = false;
  std::vector<std::string> texts;  // expected TextOut calls
  int fontHeight = 0, fontWidth = 0, escapement = 0;
};

RecordingCanvas Draw(const TextCase& c) {
  RecordingCanvas canvas;
  canvas.PushFont(LogicalFont{.height = -12, .face = u"MS UI Gothic"});
  canvas.calls.clear();
  DrawText(canvas, kOrigin, c.s, c.str, c.pt10, c.pt11, c.code72, c.code73, c.h, c.code41, c.code50, c.code44, 0x0000FF,
           c.code71, c.mtflag, c.pt11);
  return canvas;
}

// h = 10 at s = 1 gives a cell of 13 pixels; the recording canvas measures 8 pixels a character.
TEST(DrawText, AnchorsJustifiesAndSizesTheFont) {
  const std::vector<TextCase> cases = {
      {"left baseline at pt10, top of the cell 0.855 cells above", u"ABCD", {0, 0, 0}, {50, 0, 0}, 0, 0,
       10, 1, 0, 1, 1, 0, false, {"TextOut(100,89,\"ABCD\")"}, 13, 5, 0},
      {"centred on pt11", u"ABCD", {0, 0, 0}, {50, 0, 0}, 1, 0, 10, 1, 0, 1, 1, 0, false,
       {"TextOut(134,89,\"ABCD\")"}, 13, 5, 0},
      {"right on pt11", u"ABCD", {0, 0, 0}, {50, 0, 0}, 2, 0, 10, 1, 0, 1, 1, 0, false,
       {"TextOut(118,89,\"ABCD\")"}, 13, 5, 0},
      {"top: hangs from pt11", u"ABCD", {0, 0, 0}, {50, 0, 0}, 0, 3, 10, 1, 0, 1, 1, 0, false,
       {"TextOut(150,99,\"ABCD\")"}, 13, 5, 0},
      {"middle (72 = 4) is centred both ways", u"ABCD", {0, 0, 0}, {50, 0, 0}, 4, 0, 10, 1, 0, 1, 1, 0, false,
       {"TextOut(134,94,\"ABCD\")"}, 13, 5, 0},
      {"bottom", u"AB", {0, 0, 0}, {0, 0, 0}, 0, 1, 10, 1, 0, 1, 1, 0, false, {"TextOut(100,87,\"AB\")"}, 13, 5, 0},
      {"turned 90 degrees: the offset turns with it", u"AB", {0, 0, 0}, {0, 0, 0}, 0, 0, 10, 1, 90, 1, 1, 0, false,
       {"TextOut(89,100,\"AB\")"}, 13, 5, 900},
      {"width factor 2 doubles the characters", u"AB", {0, 0, 0}, {0, 0, 0}, 0, 0, 10, 2, 0, 1, 1, 0, false,
       {"TextOut(100,89,\"AB\")"}, 13, 10, 0},
      {"h = 1 at s = 0.5: cell 3", u"AB", {0, 0, 0}, {0, 0, 0}, 0, 0, 1, 1, 0, 1, 0.5, 0, false,
       {"TextOut(100,97,\"AB\")"}, 3, 1, 0},
      {"h = 1 at s = 1: cell 1, not drawn", u"AB", {}, {}, 0, 0, 1, 1, 0, 1, 1, 0, false, {}, 0, 0, 0},
      {"fit: four single-byte characters over 100 pixels", u"ABCD", {0, 0, 0}, {100, 0, 0}, 5, 0, 10, 1, 0, 1, 1,
       0, false, {"TextOut(100,89,\"ABCD\")"}, 13, 20, 0},
      {"fit: four double-byte characters over 100 pixels", u"日本語字", {0, 0, 0}, {100, 0, 0}, 5, 0, 10, 1, 0, 1,
       1, 0, false, {"TextOut(100,89,\"日本語字\")"}, 13, 10, 0},
      {"fit without bytes in code page 932 draws nothing", u"", {0, 0, 0}, {100, 0, 0}, 5, 0, 10, 1, 0, 1, 1, 0,
       false, {}, 0, 0, 0},
      {"MTEXT attachment 5, three lines: one pitch up first", u"A\\PB\\PC", {0, 0, 0}, {0, 0, 0}, 0, 0, 10, 1, 0,
       1, 1, 5, true, {"TextOut(96,77,\"A\")", "TextOut(96,94,\"B\")", "TextOut(96,111,\"C\")"}, 13, 4, 0},
      {"MTEXT attachment 7, two lines: two pitches up", u"A\\PB", {0, 0, 0}, {0, 0, 0}, 0, 0, 10, 1, 0, 1, 1, 7,
       true, {"TextOut(100,55,\"A\")", "TextOut(100,72,\"B\")"}, 13, 4, 0},
      {"MTEXT attachment 1, codes stripped", u"{\\fArial;AB}", {0, 0, 0}, {0, 0, 0}, 0, 0, 10, 1, 0, 1, 1, 1, true,
       {"TextOut(100,99,\"AB\")"}, 13, 4, 0},
      {"MTEXT direction (0, 1): turned 90 degrees", u"AB", {0, 0, 0}, {0, 1, 0}, 0, 0, 10, 1, 0, 1, 1, 1, true,
       {"TextOut(99,100,\"AB\")"}, 13, 4, 900},
      {"MTEXT without lines draws nothing", u"", {}, {}, 0, 0, 10, 1, 0, 1, 1, 1, true, {}, 0, 0, 0},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    RecordingCanvas canvas = Draw(c);
    EXPECT_EQ(canvas.Log({"TextOut"}), c.texts);
    EXPECT_EQ(canvas.FontDepth(), 1) << "the previous font is selected again";
    if (c.texts.empty()) {
      EXPECT_TRUE(canvas.Log({"PushFont"}).empty());
      continue;
    }
    const CanvasCall& out = *std::find_if(canvas.calls.begin(), canvas.calls.end(),
                                          [](const CanvasCall& k) { return k.op == "TextOut"; });
    EXPECT_EQ(out.font.height, c.fontHeight);
    EXPECT_EQ(out.font.width, c.fontWidth);
    EXPECT_EQ(out.font.escapement, c.escapement);
    EXPECT_EQ(out.font.charSet, 1);
    EXPECT_EQ(out.font.face, u"MS UI Gothic") << "the face of the canvas's font is kept";
    EXPECT_EQ(out.fontColour, 0x0000FFu);
    EXPECT_EQ(out.brush.style, BrushStyle::Clear);
  }
}

}  // namespace
}  // namespace tesmar
