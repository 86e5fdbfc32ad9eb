#pragma once
// Pick and measure: the drawing entity nearest to a point among the lines, circles, arcs,
// texts and filled areas of visible layers, and the texts that report it.
#include <cstdint>
#include <optional>
#include <string>

#include "dxf/model.h"

namespace tesmar {

enum class TPickKind { None, Line, Circle, Arc, Text, Fill };

struct TPick {
  TPickKind kind = TPickKind::None;
  std::int32_t index = -1;  // into LineAry, CircleAry, ArcAry, TextAry or FillAry
};

// The nearest candidate to p, however far: a line only where the perpendicular from p meets
// it between its end points; a circle or an arc (as its full circle) at its nearest point of
// the curve; a text at its reference point; a filled area at the nearest point of its rings'
// edges. Ties go to the earlier kind (lines, circles, arcs, texts, fills) and within a kind to
// the earlier record. Records on hidden layers are not candidates. (A spline is drawn as short
// lines and is picked as the one under the pointer.)
TPick PickNearest(const TDrawingModel& m, TAcadPoint p);

// The point a text is measured from: pt11 when it has horizontal or vertical justification,
// else pt10.
TAcadPoint TextReferencePoint(const TTextBlk& t);

// The distance from the start point of `line`, along its normal, to the unbounded line through
// `previous`; nothing when they are parallel (or the previous line has no length).
std::optional<double> MutualDistance(const TAcadLineBlk& line, const TAcadLineBlk& previous);

// Status texts of a pick, each "[" + layer + "] " + what was measured, numbers with "%.3f".
std::u16string CircleRadiusStatus(std::u16string_view layer, double radius);
std::u16string ArcRadiusStatus(std::u16string_view layer, double radius);
std::u16string TextHeightStatus(std::u16string_view layer, double height, std::u16string_view text);
// The area a fill covers: its rings' areas, a ring inside an odd number of others (a hole)
// taken away.
double FillArea(const TFillBlk& f);
std::u16string FillAreaStatus(std::u16string_view layer, double area);
// The length, and " 相互距離 = " with the mutual distance when there is one.
std::u16string LineLengthStatus(std::u16string_view layer, double length, std::optional<double> mutual);

}  // namespace tesmar
