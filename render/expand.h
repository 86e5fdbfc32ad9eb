#pragma once
// Block and insert expansion: copies the lines, circles, arcs and texts of BLOCK definitions
// into the drawing tables (LineAry, CircleAry, ArcAry, TextAry), transformed into drawing
// coordinates, for the INSERTs of the drawing, for the anonymous blocks of DIMENSIONs and for
// one level of INSERTs nested inside block definitions.
#include "dxf/model.h"

namespace tesmar {

// Expands the visible INSERTs of EntInsertAry. An INSERT whose block does not exist adds
// nothing.
void ExpandInserts(TDrawingModel& m);

// Copies the graphics of dimension blocks as they stand, collects the nested INSERTs of placed
// blocks (and of anonymous blocks that no INSERT places) into NestInsertAry, then calls
// ExpandNestedInserts.
void ExpandBlocks(TDrawingModel& m);

// Expands the INSERTs of NestInsertAry (lines, circles, arcs and texts of their blocks only).
void ExpandNestedInserts(TDrawingModel& m);

// The insert transform: P relative to the block base, scaled, turned counter-clockwise by
// the rotation and moved to the insertion point.
TAcadPoint InsertTransform(const TInsertBlk& insert, const TBlockBlk& block, TAcadPoint p);

}  // namespace tesmar
