#include "render/text_draw.h"

#include <algorithm>
#include <cmath>
#include <string_view>
#include <vector>

#include "base/codepage.h"
#include "render/geometry.h"
#include "render/textcodes.h"

namespace tesmar {

namespace {

// Fonts taller or wider than this many pixels are not made: such a text is far larger than
// any screen, and the platform may refuse or take long over the font.
constexpr int kLargestFont = 32767;

// Pixel coordinates beyond this distance from the origin are not handed to the canvas.
constexpr double kGuard = 67108864.0;  // 2^26

// How far below the baseline a text's bottom lies, in text heights (the descenders of the
// plotting fonts of CAD programs reach about a third of the height down).
constexpr double kDescent = 1.0 / 3;

// The distance between two MTEXT baselines at line spacing factor 1, in text heights.
constexpr double kLinePitch = 5.0 / 3;

// Writes `text` with the top-left corner of its cell at the anchor moved by (dx, dy) pixels
// along the text's direction theta (radians), dy upwards.
void Place(Canvas& canvas, TPixel origin, double s, TAcadPoint anchor, double dx, double dy, double theta,
           std::u16string_view text) {
  const TAcadPoint d = AcadPointRotateCcw(TAcadPoint{dx, dy, 0}, theta);
  const TAcadPoint ref{anchor.x + d.x * s, anchor.y + d.y * s, anchor.z};
  if (!(std::fabs(ref.x / s) <= kGuard && std::fabs(ref.y / s) <= kGuard)) return;
  const TPixel px = WorldToScreen(ref, s, origin);
  canvas.TextOut(px.x, px.y, text);
}

// The height of the anchor above the baseline of a TEXT, in text heights, by its vertical
// justification (and for "middle", code72 = 4, its own centre).
double TextRise(int code72, int code73) {
  if (code72 == 3 || code72 == 5) return 0;  // aligned and fit sit on the baseline
  if (code72 == 4 && code73 == 0) return 0.5;
  switch (code73) {
    case 1: return -kDescent;
    case 2: return 0.5;
    case 3: return 1;
    default: return 0;
  }
}

double AlignedDx(int column, double w) {
  if (column == 1) return -w / 2;
  if (column == 2) return -w;
  return 0;
}

// Breaks an MTEXT paragraph into lines no wider than `limit` pixels (0: no limit): at spaces,
// and between full-width characters, which need none. Each piece is measured once, and a line
// is as wide as its pieces together, so that a long paragraph costs no more than its length.
void WrapParagraph(Canvas& canvas, const std::u16string& text, double limit, std::vector<std::u16string>& out) {
  if (limit <= 0 || canvas.TextWidth(text) <= limit) {
    out.push_back(text);
    return;
  }
  auto trimmed = [](std::u16string_view s) {
    while (!s.empty() && s.back() == u' ') s.remove_suffix(1);
    return s;
  };
  auto width = [&](std::u16string_view s) { return s.empty() ? 0.0 : static_cast<double>(canvas.TextWidth(s)); };
  std::u16string line;
  double lineWidth = 0, shownWidth = 0;  // the line's, and without its trailing spaces
  std::size_t i = 0;
  while (i < text.size()) {
    std::size_t end = i + 1;  // a full-width character is a piece of its own
    if (text[i] < 0x80) {
      end = i;
      while (end < text.size() && text[end] < 0x80 && text[end] != u' ') ++end;
      if (end < text.size() && text[end] == u' ') ++end;  // the space goes with the word before it
      if (end == i) end = i + 1;
    }
    const std::u16string_view piece = std::u16string_view(text).substr(i, end - i);
    const std::u16string_view word = trimmed(piece);
    const double wordWidth = width(word);
    const double pieceWidth = word.size() == piece.size() ? wordWidth : width(piece);
    const double candidate = word.empty() ? shownWidth : lineWidth + wordWidth;
    if (!line.empty() && candidate > limit) {
      out.emplace_back(trimmed(line));
      line = piece;
      lineWidth = pieceWidth;
      shownWidth = wordWidth;
    } else {
      line += piece;
      if (!word.empty()) shownWidth = lineWidth + wordWidth;
      lineWidth += pieceWidth;
    }
    i = end;
  }
  out.emplace_back(trimmed(line));
}

}  // namespace

double CharacterAdvance(char16_t c) {
  if (c >= 0x80 && !(c >= 0xFF61 && c <= 0xFF9F)) return 1.4;  // full-width (a square of one em)
  switch (c) {
    case u'i': case u'l': case u'j': case u'f': case u'I': case u'J': case u'.': case u',': case u':':
    case u';': case u'!': case u'|': case u'\'': case u' ':
      return 0.42;
    case u'r': case u't': case u'-': case u'/': case u'(': case u')': case u'[': case u']': case u'"': case u'`':
      return 0.54;
    case u'm': case u'w': case u'M': case u'W': case u'@': case u'%':
      return 1.28;
    default: break;
  }
  if (c >= u'0' && c <= u'9') return 0.87;
  if (c >= u'A' && c <= u'Z') return 0.93;
  return 0.78;
}

double StringAdvance(std::u16string_view str) {
  double sum = 0;
  for (char16_t c : str) sum += CharacterAdvance(c);
  return sum;
}

int TextCellHeight(double h, double s) { return NearestInt(h / s * 1.3); }

void DrawText(Canvas& canvas, TPixel origin, double s, std::u16string_view str, TAcadPoint pt10, TAcadPoint pt11,
              int code72, int code73, double code40, double code41, double code50, double code44, Colour colour,
              int code71, bool mtflag, TAcadPoint pt11Stored) {
  double cap = code40 / s;  // the height of the capitals, in pixels
  if (TextCellHeight(code40, s) <= 1) return;
  double thetaDeg = code50;
  TAcadPoint anchor = pt11;
  const bool spread = !mtflag && (code72 == 3 || code72 == 5);  // aligned or fit between pt10 and pt11
  const double span = spread ? AcadPointDistance(pt10, pt11) / s : 0;
  std::vector<std::u16string> lines;
  if (mtflag) {
    anchor = pt10;
    if (pt11Stored.x != 0 || pt11Stored.y != 0) thetaDeg = AcadPointAngle(TAcadPoint{}, pt11Stored) * kRadToDeg;
    for (const std::u16string& line : SplitMtextLines(str)) lines.push_back(StripMtextCodes(line));
    if (lines.empty()) return;
  } else {
    if ((code72 == 0 && code73 == 0) || spread) anchor = pt10;
    if (spread && span > 0) thetaDeg = AcadPointAngle(pt10, pt11) * kRadToDeg;
    lines.emplace_back(str);
  }

  // The string's width as the CAD program's fonts set it; the platform's font is made as wide.
  const double factor = mtflag ? 1 : (code41 > 0 ? code41 : 1);
  double advance = 0;  // per half-width character, in pixels
  std::size_t bytes = 0;
  for (const std::u16string& line : lines) {
    const std::size_t b = Cp932ByteLength(line);
    if (b > bytes) bytes = b, advance = cap * factor * StringAdvance(line) / static_cast<double>(b);
  }
  if (bytes == 0) {
    if (!mtflag) return;  // nothing to write
    advance = cap * 0.5;
  }
  if (spread && span > 0) {
    const double natural = advance * static_cast<double>(bytes);
    if (code72 == 3) cap *= span / natural;  // aligned keeps the proportions
    advance = span / static_cast<double>(bytes);
  }
  const FaceProportions face = canvas.Proportions();
  const double em = cap / face.capHeight;
  const int fontHeight = NearestInt(em);
  const int fontWidth = std::max(1, NearestInt(advance * face.halfAdvancePerAverage));
  if (fontHeight < 2 || fontHeight > kLargestFont || fontWidth > kLargestFont) return;

  LogicalFont font;
  font.height = -fontHeight;  // the em, so that the capitals are `cap` pixels tall
  font.width = fontWidth;
  font.escapement = NearestInt(thetaDeg * 10);
  font.charSet = 1;
  font.face = canvas.Font().face;
  ScopedFont selected(canvas, font);
  if (canvas.FontColour() != colour) canvas.SetFontColour(colour);
  if (canvas.Brush().style != BrushStyle::Clear) canvas.SetBrushStyle(BrushStyle::Clear);

  const double theta = thetaDeg * kDegToRad;
  const double ascent = face.ascent * fontHeight;  // from the top of the cell down to the baseline
  if (!mtflag) {
    const double w = canvas.TextWidth(str);
    const double dx = spread ? 0 : AlignedDx(code72 == 4 ? 1 : code72, w);
    Place(canvas, origin, s, anchor, dx, ascent - TextRise(code72, code73) * cap, theta, str);
    return;
  }

  // MTEXT: paragraphs wrapped at the reference width, then placed by the attachment point.
  std::vector<std::u16string> wrapped;
  const double limit = code41 > 0 ? code41 / s * 1.01 : 0;  // a little room for rounding
  for (const std::u16string& line : lines) WrapParagraph(canvas, line, limit, wrapped);
  const double pitch = cap * (code44 > 0 ? code44 : 1) * kLinePitch;  // pixels
  const double n = static_cast<double>(wrapped.size());
  const int row = (code71 >= 1 && code71 <= 9) ? (code71 - 1) / 3 : 0;
  const int column = (code71 >= 1 && code71 <= 9) ? (code71 - 1) % 3 : 0;
  // The first baseline below the anchor, in pixels.
  double firstBaseline = cap;
  if (row == 1) firstBaseline = (cap - pitch * (n - 1)) / 2;
  if (row == 2) firstBaseline = -kDescent * cap - pitch * (n - 1);
  for (std::size_t i = 0; i < wrapped.size(); ++i) {
    const double w = canvas.TextWidth(wrapped[i]);
    const double down = firstBaseline + pitch * static_cast<double>(i);
    Place(canvas, origin, s, anchor, AlignedDx(column, w), ascent - down, theta, wrapped[i]);
  }
}

}  // namespace tesmar
