#pragma once
// Curve decomposition: turns polylines, meshes, ellipses, faces, leaders, solids, splines and
// the circles, arcs and texts that lie outside the world XY plane into records of the four
// drawable tables (LineAry, CircleAry, ArcAry, TextAry), in world coordinates. Each step
// appends to the model's tables; the caller empties the source tables afterwards.
#include <cstddef>

#include "dxf/model.h"

namespace tesmar {

// Flags of TLwpBlk::code70.
inline constexpr int kPolylineClosed = 1;
inline constexpr int kPolylineMesh = 16;      // 3-D polygon mesh (code71 = M, code72 = N)
inline constexpr int kPolylinePolyface = 64;  // polyface mesh: not drawn

// A new line from st to ed carrying the source record's layer, linetype and colour; every
// other field zero (the extrusion included).
template <class Source>
TAcadLineBlk SegmentOf(const Source& s, TAcadPoint st, TAcadPoint ed) {
  TAcadLineBlk l;
  l.layer = s.layer;
  l.ltype = s.ltype;
  l.color = s.color;
  l.code210 = {};
  l.st = st;
  l.ed = ed;
  return l;
}

// At most how many records the drawing-table steps below (all but ExplodeBlockPolylines) add
// to LineAry and ArcAry, so that the tables can be sized once before they are filled.
struct TDecomposeCounts {
  std::size_t lines = 0, arcs = 0;
};
TDecomposeCounts CountDecomposition(const TDrawingModel& m, double step);

// Block polylines into BlkLineAry and BlkArcAry (bulges become arcs).
void ExplodeBlockPolylines(TDrawingModel& m);
// Drawing polylines into LineAry and ArcAry; a bulge arc of at most 1 degree becomes its chord;
// polygon meshes give their lines along M.
void ExplodePolylines(TDrawingModel& m);
// Ellipses and elliptic arcs into lines of `step` degrees of the parameter.
void ExplodeEllipses(TDrawingModel& m, double step);
// Arcs (all visible ones, or only those outside the XY plane) into lines in object coordinates;
// each replaced arc stays in ArcAry with code67 = -1.
void ExplodeTiltedArcs(TDrawingModel& m, double step, bool all);
// Circles likewise.
void ExplodeTiltedCircles(TDrawingModel& m, double step, bool all);
// Maps lines with a non-default extrusion from object to world coordinates. Not idempotent.
void LinesToWorld(TDrawingModel& m);
// Maps texts with a non-default extrusion to world coordinates and turns their rotation.
void TextsToWorld(TDrawingModel& m);
void ExplodeFaces(TDrawingModel& m);
void ExplodeLeaders(TDrawingModel& m);
// The triangle of the first three corners.
void ExplodeSolids(TDrawingModel& m);
// Planar splines (code70 bit 8) as the polygon of their control points.
void ExplodeSplines(TDrawingModel& m);

}  // namespace tesmar
