// The render index: the boxes of the drawable records, built once after the post-processing.
#include <cmath>
#include <limits>
#include <memory>

#include "render/extents.h"
#include "render/render_pass.h"
#include "render/render_pass_parts.h"

namespace tesmar {

using render_pass::Skipped;

namespace {

TRenderIndex::Box OutwardBox(const TBox& b) {
  constexpr float inf = std::numeric_limits<float>::infinity();
  auto down = [](double v) {
    const float f = static_cast<float>(v);
    return static_cast<double>(f) > v ? std::nextafter(f, -inf) : f;
  };
  auto up = [](double v) {
    const float f = static_cast<float>(v);
    return static_cast<double>(f) < v ? std::nextafter(f, inf) : f;
  };
  return TRenderIndex::Box{down(b.min.x), down(b.min.y), up(b.max.x), up(b.max.y)};
}

// The box of everything an arc's in-view test may accept: its centre and its arc, taken as the
// whole circle when the angles are not a plain counter-clockwise sweep within one turn (the
// end angle of such an arc is raised by the render pass later).
TBox ArcIndexBox(const TArcBlk& a) {
  TBox b = (a.st <= a.ed && a.st >= 0 && a.ed <= 360)
               ? ArcBox(a.center, a.hankei, a.st * kDegToRad, a.ed * kDegToRad)
               : CircleBox(a.center, a.hankei);
  BoxAdd(b, a.center);
  return b;
}

TBox TextIndexBox(const TTextBlk& t) {
  TBox b = TextBox(t);
  BoxAdd(b, t.pt10);
  return b;
}

}  // namespace

std::unique_ptr<TRenderIndex> BuildRenderIndex(const TDrawingModel& m) { return BuildRenderIndex(m, TStopCheck()); }

std::unique_ptr<TRenderIndex> BuildRenderIndex(const TDrawingModel& m, const TStopCheck& stop) {
  auto index = std::make_unique<TRenderIndex>();
  // The stop is asked every so many records: a few milliseconds of work at most.
  std::size_t sinceCheck = 0;
  auto check = [&] {
    if (++sinceCheck < (1u << 16)) return;
    sinceCheck = 0;
    if (stop && stop()) throw TPostStopped{};
  };
  index->lines.reserve(m.LineAry.size());
  index->lineLayers.reserve(m.LineAry.size());
  for (const auto& r : m.LineAry) {
    check();
    index->lines.push_back(OutwardBox(SegmentBox(r.st, r.ed)));
    index->lineLayers.push_back(Skipped(r) ? TRenderIndex::kNeverDrawn : static_cast<std::int32_t>(r.layindex));
  }
  index->circles.reserve(m.CircleAry.size());
  for (const auto& r : m.CircleAry) check(), index->circles.push_back(OutwardBox(CircleBox(r.center, r.hankei)));
  index->arcs.reserve(m.ArcAry.size());
  for (const auto& r : m.ArcAry) check(), index->arcs.push_back(OutwardBox(ArcIndexBox(r)));
  index->texts.reserve(m.TextAry.size());
  for (const auto& r : m.TextAry) check(), index->texts.push_back(OutwardBox(TextIndexBox(r)));
  index->fills.reserve(m.FillAry.size());
  for (const auto& r : m.FillAry) {
    check();
    TBox b{r.pts.empty() ? TAcadPoint{} : r.pts.front(), r.pts.empty() ? TAcadPoint{} : r.pts.front()};
    for (const TAcadPoint& p : r.pts) BoxAdd(b, p);
    index->fills.push_back(OutwardBox(b));
  }
  return index;
}

}  // namespace tesmar
