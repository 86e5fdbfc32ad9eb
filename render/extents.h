#pragma once
// Drawing extents: the smallest axis-aligned rectangle holding the visible geometry, and the
// estimate of the area a text covers (shared with the visibility test of texts).
#include "dxf/model.h"
#include "render/geometry.h"

namespace tesmar {

// Box of the visible (code60 0, code67 0, layer visible by name) lines, circles, arcs, texts
// (the area of their letters), fills, and base points of infinite lines. All zeros when
// nothing counts.
TBox ComputeExtents(const TDrawingModel& m);

// ComputeExtents and then AssignPens, in one pass over the tables.
TBox ComputeExtentsAndAssignPens(TDrawingModel& m);

// Estimated area covered by a text record (TEXT and ATTRIB by justification, MTEXT by
// attachment point and line count), in world units.
TBox TextBox(const TTextBlk& t);

}  // namespace tesmar
