#include "render/postprocess.h"

#include <chrono>
#include <exception>

#include "render/expand.h"
#include "render/colours.h"
#include "render/decompose.h"
#include "render/extents.h"

namespace tesmar {

namespace {

constexpr double kStepDegrees = kCurveStepDegrees;

template <class Table>
void Empty(Table& t) {
  Table().swap(t);
}

// Sizes the drawing tables once for everything that the steps will add, so that no table is
// copied while it grows (which would hold the old and the new copy at once).
void ReserveDrawables(TDrawingModel& m, const TBlockIndex& index, const TWorkBudget& budget) {
  const TDecomposeCounts d = CountDecomposition(m, kStepDegrees);
  const TCopyCounts c = CountExpansion(m, index, budget);
  m.LineAry.reserve(m.LineAry.size() + d.lines + c.lines);
  m.ArcAry.reserve(m.ArcAry.size() + d.arcs + c.arcs);
  m.CircleAry.reserve(m.CircleAry.size() + c.circles);
  m.TextAry.reserve(m.TextAry.size() + c.texts);
  m.FillAry.reserve(m.FillAry.size() + c.fills);
}

TBox PostProcess(TDrawingModel& m, TWorkBudget& budget);

}  // namespace

TBox RunPostProcessing(TDrawingModel& m) { return RunPostProcessing(m, TStopCheck()); }

TBox RunPostProcessing(TDrawingModel& m, const TStopCheck& stop) {
  TWorkBudget budget;
  budget.SetStop(stop);
  return RunPostProcessing(m, budget);
}

TBox RunPostProcessing(TDrawingModel& m, TWorkBudget& budget) {
  const TBox extents = PostProcess(m, budget);
  if (budget.Cut()) m.expansionCut = true;
  return extents;
}

namespace {

TBox PostProcess(TDrawingModel& m, TWorkBudget& budget) {
  if (!m.BlkLwpAry.empty()) {
    ExplodeBlockPolylines(m);
    Empty(m.BlkLwpAry);
    Empty(m.BlkVerAry);
  }
  budget.CheckStop();
  // The other kinds of blocks become block lines and fills.
  ExplodeBlockKinds(m, kStepDegrees, budget);
  budget.CheckStop();
  Empty(m.BlkEllipseAry);
  Empty(m.BlkSolidAry);
  // The block tables grew by doubling and are kept to the end: give back what they did not use
  // before the drawing tables are sized.
  m.BlkLineAry.shrink_to_fit();
  m.BlkArcAry.shrink_to_fit();
  m.BlkFillAry.shrink_to_fit();
  // From here on the block tables stay as they are.
  const TBlockIndex index(m);
  ReserveDrawables(m, index, budget);
  budget.CheckStop();
  if (!m.LwpAry.empty()) {
    ExplodePolylines(m);
    Empty(m.LwpAry);
    Empty(m.VerAry);
  }
  budget.CheckStop();
  if (!m.EllipseAry.empty()) {
    ExplodeEllipses(m, kStepDegrees);
    Empty(m.EllipseAry);
  }
  if (!m.ArcAry.empty()) ExplodeTiltedArcs(m, kStepDegrees, false);
  if (!m.CircleAry.empty()) ExplodeTiltedCircles(m, kStepDegrees, false);
  budget.CheckStop();
  LinesToWorld(m);
  TextsToWorld(m);
  budget.CheckStop();
  if (!m.EntInsertAry.empty()) ExpandInserts(m, index, budget);
  if (!m.BlockAry.empty()) {
    // A failure here costs only the blocks that were not yet copied.
    try {
      ExpandBlocks(m, index, budget);
    } catch (const std::exception&) {
    }
  }
  budget.CheckStop();
  Empty(m.NestInsertAry);
  Empty(m.EntInsertAry);
  Empty(m.BlockAry);
  if (!m.FaceAry.empty()) {
    ExplodeFaces(m);
    Empty(m.FaceAry);
  }
  budget.CheckStop();
  if (!m.LeaderAry.empty()) {
    ExplodeLeaders(m);
    Empty(m.LeaderAry);
  }
  if (!m.SolidAry.empty()) {
    ExplodeSolids(m);
    Empty(m.SolidAry);
  }
  budget.CheckStop();
  if (!m.SplineAry.empty()) {
    ExplodeSplines(m);
    Empty(m.SplineAry);
  }
  budget.CheckStop();
  if (!m.HatchAry.empty()) {
    ExplodeHatchRecords(m, false, kStepDegrees, budget);
    Empty(m.HatchAry);
  }
  budget.CheckStop();
  if (!m.MlineAry.empty()) {
    ExplodeMlineRecords(m, false);
    Empty(m.MlineAry);
  }
  if (!m.MeshAry.empty()) {
    ExplodeMeshRecords(m, false);
    Empty(m.MeshAry);
  }
  budget.CheckStop();
  if (!m.ProxyAry.empty()) {
    ExplodeProxyRecords(m, false, kStepDegrees);
    Empty(m.ProxyAry);
  }
  Empty(m.BlkFillAry);
  Empty(m.BlkXlineAry);
  budget.CheckStop();
  return ComputeExtentsAndAssignPens(m);
}

}  // namespace

TPostFigures PostFigures(const TDrawingModel& m, const TBox& extents, double post_ms) {
  TPostFigures f;
  f.lines = m.LineAry.size();
  f.circles = m.CircleAry.size();
  f.arcs = m.ArcAry.size();
  f.texts = m.TextAry.size();
  auto drawable = [](const auto& table) {
    std::size_t n = 0;
    for (const auto& r : table) n += (r.code60 == 0 && r.code67 == 0);
    return n;
  };
  f.drawable = drawable(m.LineAry) + drawable(m.CircleAry) + drawable(m.ArcAry) + drawable(m.TextAry);
  f.extents = extents;
  f.drawnInPart = m.expansionCut;
  f.post_ms = post_ms;
  return f;
}

void WritePostFigures(JsonWriter& out, const TPostFigures& f) {
  out.BeginObject();
  out.Key("LineAry").Int(static_cast<std::int64_t>(f.lines));
  out.Key("CircleAry").Int(static_cast<std::int64_t>(f.circles));
  out.Key("ArcAry").Int(static_cast<std::int64_t>(f.arcs));
  out.Key("TextAry").Int(static_cast<std::int64_t>(f.texts));
  out.Key("drawable").Int(static_cast<std::int64_t>(f.drawable));
  out.Key("extents").BeginArray();
  out.Number(f.extents.min.x).Number(f.extents.min.y).Number(f.extents.max.x).Number(f.extents.max.y);
  out.EndArray();
  out.Key("drawn_in_part").Bool(f.drawnInPart);
  out.Key("post_ms").Number(f.post_ms);
  out.EndObject();
}

std::string PostFiguresJson(const TPostFigures& f) {
  JsonWriter out;
  WritePostFigures(out, f);
  return out.Text();
}

TPostFigures RunPostProcessingTimed(TDrawingModel& m) {
  const auto start = std::chrono::steady_clock::now();
  const TBox extents = RunPostProcessing(m);
  const double ms = std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count();
  return PostFigures(m, extents, ms);
}

}  // namespace tesmar
