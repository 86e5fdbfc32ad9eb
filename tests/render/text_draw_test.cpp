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
  // Characters as wide as the font asks (the canvas's generic face: capitals 0.72, ascent 0.88
  // of the em, half-width advance equal to the average width).
  canvas.textWidth = [](std::u16string_view t, const LogicalFont& f) { return static_cast<int>(t.size()) * f.width; };
  canvas.PushFont(LogicalFont{.height = -12, .face = u"MS UI Gothic"});
  canvas.calls.clear();
  DrawText(canvas, kOrigin, c.s, c.str, c.pt10, c.pt11, c.code72, c.code73, c.h, c.code41, c.code50, c.code44, 0x0000FF,
           c.code71, c.mtflag, c.pt11);
  return canvas;
}

// h = 36 at s = 1: capitals 36 pixels tall on an em of 50, the baseline 44 pixels below the
// top of the cell; "HH" is 2 x 0.93 heights long, so each character 33 pixels wide. MTEXT lines
// are 60 pixels apart.
TEST(DrawText, AnchorsJustifiesAndSizesTheFont) {
  const std::vector<TextCase> cases = {
      {"left baseline at pt10", u"HH", {0, 0, 0}, {50, 0, 0}, 0, 0, 36, 1, 0, 1, 1, 0, false,
       {"TextOut(100,56,\"HH\")"}, -50, 33, 0},
      {"centred on pt11", u"HH", {0, 0, 0}, {50, 0, 0}, 1, 0, 36, 1, 0, 1, 1, 0, false,
       {"TextOut(117,56,\"HH\")"}, -50, 33, 0},
      {"right on pt11", u"HH", {0, 0, 0}, {50, 0, 0}, 2, 0, 36, 1, 0, 1, 1, 0, false,
       {"TextOut(84,56,\"HH\")"}, -50, 33, 0},
      {"top: the capitals hang from pt11", u"HH", {0, 0, 0}, {50, 0, 0}, 0, 3, 36, 1, 0, 1, 1, 0, false,
       {"TextOut(150,92,\"HH\")"}, -50, 33, 0},
      {"middle (72 = 4): centred both ways on the capitals", u"HH", {0, 0, 0}, {50, 0, 0}, 4, 0, 36, 1, 0, 1, 1, 0,
       false, {"TextOut(117,74,\"HH\")"}, -50, 33, 0},
      {"middle left (73 = 2)", u"HH", {0, 0, 0}, {50, 0, 0}, 0, 2, 36, 1, 0, 1, 1, 0, false,
       {"TextOut(150,74,\"HH\")"}, -50, 33, 0},
      {"bottom: a third of the height below the baseline", u"HH", {0, 0, 0}, {0, 0, 0}, 0, 1, 36, 1, 0, 1, 1, 0,
       false, {"TextOut(100,44,\"HH\")"}, -50, 33, 0},
      {"turned 90 degrees: the offset turns with it", u"HH", {0, 0, 0}, {0, 0, 0}, 0, 0, 36, 1, 90, 1, 1, 0, false,
       {"TextOut(56,100,\"HH\")"}, -50, 33, 900},
      {"width factor 2 doubles the characters", u"HH", {0, 0, 0}, {0, 0, 0}, 0, 0, 36, 2, 0, 1, 1, 0, false,
       {"TextOut(100,56,\"HH\")"}, -50, 67, 0},
      {"narrow letters are set narrower", u"il", {0, 0, 0}, {0, 0, 0}, 0, 0, 36, 1, 0, 1, 1, 0, false,
       {"TextOut(100,56,\"il\")"}, -50, 15, 0},
      {"fit: the characters fill pt10 to pt11, the height stays", u"HH", {0, 0, 0}, {100, 0, 0}, 5, 0, 36, 1, 0, 1,
       1, 0, false, {"TextOut(100,56,\"HH\")"}, -50, 50, 0},
      {"fit upwards: turned along pt10 to pt11", u"HH", {0, 0, 0}, {0, 100, 0}, 5, 0, 36, 1, 0, 1, 1, 0, false,
       {"TextOut(56,100,\"HH\")"}, -50, 50, 900},
      {"aligned: twice the natural length doubles the height too", u"HH", {0, 0, 0}, {133.92, 0, 0}, 3, 0, 36, 1,
       0, 1, 1, 0, false, {"TextOut(100,12,\"HH\")"}, -100, 67, 0},
      {"fit: two double-byte characters over 100 pixels", u"日本", {0, 0, 0}, {100, 0, 0}, 5, 0, 36, 1, 0, 1, 1, 0,
       false, {"TextOut(100,56,\"日本\")"}, -50, 25, 0},
      {"h = 0.5 at s = 1 is too small to draw", u"HH", {}, {}, 0, 0, 0.5, 1, 0, 1, 1, 0, false, {}, 0, 0, 0},
      {"a text without characters draws nothing", u"", {0, 0, 0}, {100, 0, 0}, 5, 0, 36, 1, 0, 1, 1, 0, false, {},
       0, 0, 0},
      {"MTEXT attachment 1: the capitals of the first line hang from pt10", u"AB\\PCD", {0, 0, 0}, {0, 0, 0}, 0,
       0, 36, 0, 0, 1, 1, 1, true, {"TextOut(100,92,\"AB\")", "TextOut(100,152,\"CD\")"}, -50, 33, 0},
      {"MTEXT attachment 5, three lines: centred on pt10", u"AB\\PCD\\PEF", {0, 0, 0}, {0, 0, 0}, 0, 0, 36, 0, 0,
       1, 1, 5, true, {"TextOut(67,14,\"AB\")", "TextOut(67,74,\"CD\")", "TextOut(67,134,\"EF\")"}, -50, 33, 0},
      {"MTEXT attachment 7, two lines: the last line's bottom on pt10", u"AB\\PCD", {0, 0, 0}, {0, 0, 0}, 0, 0, 36,
       0, 0, 1, 1, 7, true, {"TextOut(100,-16,\"AB\")", "TextOut(100,44,\"CD\")"}, -50, 33, 0},
      {"MTEXT line spacing factor 0.5", u"AB\\PCD", {0, 0, 0}, {0, 0, 0}, 0, 0, 36, 0, 0, 0.5, 1, 1, true,
       {"TextOut(100,92,\"AB\")", "TextOut(100,122,\"CD\")"}, -50, 33, 0},
      {"MTEXT wrapped at its reference width", u"AB CD EF", {0, 0, 0}, {0, 0, 0}, 0, 0, 36, 150, 0, 1, 1, 1, true,
       {"TextOut(100,92,\"AB CD\")", "TextOut(100,152,\"EF\")"}, -50, 29, 0},
      {"MTEXT wrapped between full-width characters", u"日本語", {0, 0, 0}, {0, 0, 0}, 0, 0, 36, 40, 0, 1, 1, 1,
       true, {"TextOut(100,92,\"日\")", "TextOut(100,152,\"本\")", "TextOut(100,212,\"語\")"}, -50, 25, 0},
      {"MTEXT without a direction turns by its rotation", u"AB", {0, 0, 0}, {0, 0, 0}, 0, 0, 36, 0, 90, 1, 1, 1,
       true, {"TextOut(92,100,\"AB\")"}, -50, 33, 900},
      {"MTEXT direction (0, 1): turned 90 degrees", u"AB", {0, 0, 0}, {0, 1, 0}, 0, 0, 36, 0, 0, 1, 1, 1, true,
       {"TextOut(92,100,\"AB\")"}, -50, 33, 900},
      {"MTEXT codes stripped", u"{\\fArial;AB}", {0, 0, 0}, {0, 0, 0}, 0, 0, 36, 0, 0, 1, 1, 1, true,
       {"TextOut(100,92,\"AB\")"}, -50, 33, 0},
      {"MTEXT without lines draws nothing", u"", {}, {}, 0, 0, 36, 0, 0, 1, 1, 1, true, {}, 0, 0, 0},
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
