#include "render/text_draw.h"

#include <cmath>
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

// Writes `text` with the top-left corner of its cell at the anchor moved by (dx, dy), given in
// hundredths of a pixel along the text's direction theta (radians).
void Place(Canvas& canvas, TPixel origin, double s, TAcadPoint anchor, double dx, double dy, double theta,
           std::u16string_view text) {
  const TAcadPoint d = AcadPointRotateCcw(TAcadPoint{dx, dy, 0}, theta);
  const TAcadPoint ref{anchor.x + d.x / 100 * s, anchor.y + d.y / 100 * s, anchor.z};
  if (!(std::fabs(ref.x / s) <= kGuard && std::fabs(ref.y / s) <= kGuard)) return;
  const TPixel px = WorldToScreen(ref, s, origin);
  canvas.TextOut(px.x, px.y, text);
}

double TextDy(int code72, int code73, double u) {
  switch (code73) {
    case 0: return code72 == 4 ? u / 2 - 0.03 * u : 0.855 * u;
    case 1: return 0.994 * u;
    case 2: return u / 2 - 0.03 * u;
    case 3: return 0.086 * u;
    default: return u;
  }
}

double MtextDy(int code71, double u) {
  if (code71 >= 4 && code71 <= 6) return u / 2 - 0.03 * u;
  if (code71 >= 7 && code71 <= 9) return 0.855 * u;
  return 0.086 * u;
}

double MtextDx(int code71, double w) {
  if (code71 == 2 || code71 == 5 || code71 == 8) return -w / 2;
  if (code71 == 3 || code71 == 6 || code71 == 9) return -w;
  return 0;
}

}  // namespace

int TextCellHeight(double h, double s) { return NearestInt(h / s * 1.3); }

void DrawText(Canvas& canvas, TPixel origin, double s, std::u16string_view str, TAcadPoint pt10, TAcadPoint pt11,
              int code72, int code73, double code40, double code41, double code50, double code44, Colour colour,
              int code71, bool mtflag, TAcadPoint pt11Stored) {
  const double h = code40;
  double thetaDeg = code50;
  TAcadPoint anchor = pt11;
  if (mtflag) {
    anchor = pt10;
    const bool directed = pt11Stored.x != 0 || pt11Stored.y != 0;
    thetaDeg = directed ? AcadPointAngle(TAcadPoint{}, pt11Stored) * kRadToDeg : 0;
  } else if ((code72 == 0 || code72 == 3 || code72 == 5) && code73 == 0) {
    anchor = pt10;
  }
  const int cell = TextCellHeight(h, s);
  if (cell <= 1) return;
  int charWidth = 0;
  if (mtflag) {
    charWidth = NearestInt(h / s * 0.3978);
  } else if (code72 == 5) {
    const std::size_t bytes = Cp932ByteLength(str);
    if (bytes == 0) return;  // nothing to spread over the fit width
    charWidth = NearestInt(AcadPointDistance(pt10, pt11) / s * 0.8 / static_cast<double>(bytes));
  } else {
    charWidth = NearestInt(h / s * 0.663 * code41 * 0.75);
  }
  if (cell > kLargestFont || std::abs(charWidth) > kLargestFont) return;

  std::vector<std::u16string> lines;
  if (mtflag) {
    lines = SplitMtextLines(str);
    if (lines.empty()) return;
  }

  LogicalFont font;
  font.height = cell;
  font.width = charWidth;
  font.escapement = NearestInt(thetaDeg * 10);
  font.charSet = 1;
  font.face = canvas.Font().face;
  ScopedFont selected(canvas, font);
  if (canvas.FontColour() != colour) canvas.SetFontColour(colour);
  if (canvas.Brush().style != BrushStyle::Clear) canvas.SetBrushStyle(BrushStyle::Clear);

  const double theta = thetaDeg * kDegToRad;
  const double u = cell * 100.0;
  if (!mtflag) {
    const double w = canvas.TextWidth(str) * 100.0;
    const double dx = (code72 == 1 || code72 == 4) ? -w / 2 : code72 == 2 ? -w : 0;
    Place(canvas, origin, s, anchor, dx, TextDy(code72, code73, u), theta, str);
    return;
  }
  const double pitch = h * code44 * 1.7;
  const double n = static_cast<double>(lines.size());
  if (lines.size() >= 2) {
    if (code71 >= 4 && code71 <= 6) anchor = AcadPointPolar(anchor, theta + kHalfPi, pitch * (n - 1) / 2);
    if (code71 >= 7 && code71 <= 9) anchor = AcadPointPolar(anchor, theta + kHalfPi, pitch * n);
  }
  for (const std::u16string& line : lines) {
    const std::u16string t = StripMtextCodes(line);
    const double w = canvas.TextWidth(t) * 100.0;
    Place(canvas, origin, s, anchor, MtextDx(code71, w), MtextDy(code71, u), theta, t);
    anchor.x += pitch * std::sin(theta);
    anchor.y -= pitch * std::cos(theta);
  }
}

}  // namespace tesmar
