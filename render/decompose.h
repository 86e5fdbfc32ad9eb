#pragma once
// Curve decomposition: turns polylines, meshes, ellipses, faces, leaders, solids, splines and
// the circles, arcs and texts that lie outside the world XY plane into records of the four
// drawable tables (LineAry, CircleAry, ArcAry, TextAry), in world coordinates. Each step
// appends to the model's tables; the caller empties the source tables afterwards.
#include <cstddef>
#include <vector>

#include "dxf/model.h"
#include "render/work_budget.h"

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
  l.code210 = TAcadPoint{};
  l.st = st;
  l.ed = ed;
  return l;
}

// Copies the fields that say how and where a record is drawn: layer, linetype, colour, block
// and space.
template <class Source, class Target>
void CopyStyleFields(const Source& s, Target& t) {
  t.bname = s.bname;
  t.layer = s.layer;
  t.ltype = s.ltype;
  t.color = s.color;
  t.code67 = s.code67;
}

// How many records the drawing-table steps below (all but ExplodeBlockPolylines) add to LineAry
// and ArcAry, so that the tables can be sized once before they are filled: at most that many,
// but for splines, whose chords are only known once their curves are worked out.
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
// Leaders through all their vertices; a splined leader (code72 1) as a smooth curve through
// them.
void ExplodeLeaders(TDrawingModel& m);
// Solids and traces: the fill of their corners p1, p2, p4, p3 and its outline.
void ExplodeSolids(TDrawingModel& m);
// Splines as the NURBS curve of their control points, or through their fit points.
void ExplodeSplines(TDrawingModel& m);

// The angle that successive chords of a curve may turn by: the step in which arcs are drawn.
inline constexpr double kCurveStepDegrees = 10;

// The steps for the kinds beyond lines, circles, arcs and texts. `blocks` true takes the
// records of blocks (bname set) into the Blk tables; false those of the drawing.
void ExplodeEllipseTable(const std::vector<TEllipseBlk>& table, std::vector<TAcadLineBlk>& lines, double step);
void ExplodeSplineRecords(TDrawingModel& m, bool blocks, double step);
void ExplodeLeaderRecords(TDrawingModel& m, bool blocks, double step);
void ExplodeSolidRecords(const std::vector<TSolidBlk>& table, bool blocks, std::vector<TAcadLineBlk>& lines,
                         std::vector<TFillBlk>& fills);
void ExplodeFaceRecords(TDrawingModel& m, bool blocks);
// Solid hatches as fills (with their outline); pattern hatches as their pattern lines cut to
// the boundary, as far as the budget (or one of their own) allows: the rows tried and the
// lines made take from it, and a hatch cut short sets `expansionCut`.
void ExplodeHatchRecords(TDrawingModel& m, bool blocks, double step);
void ExplodeHatchRecords(TDrawingModel& m, bool blocks, double step, TWorkBudget& budget);
void ExplodeMlineRecords(TDrawingModel& m, bool blocks);
// The edges of every face.
void ExplodeMeshRecords(TDrawingModel& m, bool blocks);
// The proxy graphics of MULTILEADERs and proxy entities as lines, fills (filled polygons) and
// texts.
void ExplodeProxyRecords(TDrawingModel& m, bool blocks, double step);
// Every step above for the records of blocks; ellipses of blocks too.
void ExplodeBlockKinds(TDrawingModel& m, double step);
void ExplodeBlockKinds(TDrawingModel& m, double step, TWorkBudget& budget);

// A fill with the layer, linetype, colour and block of `style`; rings of fewer than three
// points are not added.
TFillBlk FillFrom(const TAcadLineBlk& style);
void AddFillRing(TFillBlk& f, const std::vector<TAcadPoint>& ring);

}  // namespace tesmar
