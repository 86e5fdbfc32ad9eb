#pragma once
// Pick and measure: the drawing entity nearest to a point among the lines, circles, arcs and
// texts of visible layers, and the texts that report it.
#include <cstdint>
#include <optional>
#include <string>

#include "dxf/model.h"

namespace tesmar {

enum class TPickKind { None, Line, Circle, Arc, Text };

struct TPick {
  TPickKind kind = TPickKind::None;
  std::int32_t index = -1;  // into LineAry, CircleAry, ArcAry or TextAry
};

// The nearest candidate to p, however far: a line only where the perpendicular from p meets
// it between its end points; a circle or an arc (as its full circle) at its nearest point of
// the curve; a text at its reference point. Ties go to the earlier kind (lines, circles, arcs,
// texts) and within a kind to the earlier record. Records on hidden layers are not candidates.
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
// The length, and " 相互距離 = " with the mutual distance when there is one.
std::u16string LineLengthStatus(std::u16string_view layer, double length, std::optional<double> mutual);

}  // namespace tesmar
