#include "render/extents.h"

#include <optional>

#include "render/colors.h"
#include "render/layer_lookup.h"
#include "render/textcodes.h"

namespace tesmar {

TBox& DrawingExtents() {
  static TBox extents;
  return extents;
}

namespace {

TBox SingleTextBox(const TTextBlk& t) {
  const double h = t.code40;
  const double w = h * t.code41 * 0.855 * static_cast<double>(t.str.size());
  const TAcadPoint anchor = (t.code72 == 0 && t.code73 == 0) ? t.pt10 : t.pt11;
  double dx = 0;
  switch (t.code72) {
    case 1: case 4: dx = -w / 2; break;
    case 2: case 3: case 5: dx = -w; break;
    default: break;
  }
  double dy;
  switch (t.code73) {
    case 0: dy = t.code72 == 4 ? h / 2 - 0.03 * h : 0.855 * h; break;
    case 1: dy = 0.994 * h; break;
    case 2: dy = h / 2 - 0.03 * h; break;
    case 3: dy = 0.086 * h; break;
    default: dy = h; break;
  }
  const double a = t.code50 * kDegToRad;
  const TAcadPoint o = AcadPointRotateCcw({dx, dy, 0}, a);
  TBox box{anchor, anchor};
  // The estimate takes twice the offset and a side 45 degrees below the text direction.
  const TAcadPoint p1{anchor.x + 2 * o.x, anchor.y + 2 * o.y, 0};
  const TAcadPoint p2 = AcadPointPolar(p1, a, w);
  const TAcadPoint p3 = AcadPointPolar(p1, a - kPi / 4, h);
  const TAcadPoint p4 = AcadPointPolar(p3, a, w);
  for (const TAcadPoint& p : {p1, p2, p3, p4}) BoxAdd(box, p);
  return box;
}

TBox MtextBox(const TTextBlk& t) {
  const double h = t.code40;
  const double k = static_cast<double>(SplitMtextLines(t.str).size());
  const double w = t.code41;
  const double L = h * t.code44 * 1.86 * k;
  double x0 = 0, x1 = w;
  switch (t.code71) {
    case 2: case 5: case 8: x0 = w / 2, x1 = -w / 2; break;
    case 3: case 6: case 9: x0 = 0, x1 = -w; break;
    default: break;
  }
  double y0 = 0, y1 = -L;
  switch (t.code71) {
    case 4: case 5: case 6: y0 = L / 2, y1 = -L / 2; break;
    case 7: case 8: case 9: y0 = L, y1 = 0; break;
    default: break;
  }
  const double a = t.code50 * kDegToRad;
  TBox box{t.pt10, t.pt10};
  for (const TAcadPoint& c : {TAcadPoint{x0, y0, 0}, TAcadPoint{x1, y1, 0}, TAcadPoint{x1, y0, 0}, TAcadPoint{x0, y1, 0}}) {
    const TAcadPoint r = AcadPointRotateCcw(c, a);
    BoxAdd(box, {r.x + t.pt10.x, r.y + t.pt10.y, 0});
  }
  return box;
}

// The running rectangle: the first box found, widened by each further one.
class Extents {
 public:
  void Add(const TBox& b) {
    if (!box_) {
      box_ = b;
    } else {
      BoxUnion(*box_, b);
    }
  }
  bool Found() const { return box_.has_value(); }
  TBox Result() const {
    if (!box_) return {};
    return {{box_->min.x, box_->min.y, 0}, {box_->max.x, box_->max.y, 0}};
  }

 private:
  std::optional<TBox> box_;
};

}  // namespace

TBox TextBox(const TTextBlk& t) { return t.mtflag ? MtextBox(t) : SingleTextBox(t); }

TBox ComputeExtentsAndAssignPens(TDrawingModel& m) {
  const LayerLookup layers(m);
  TPenAssigner pens(m);
  auto counts = [&](const auto& r, std::int32_t layer) {
    return r.code60 == 0 && r.code67 == 0 && (layer < 0 || m.LayerAry[static_cast<std::size_t>(layer)].visible);
  };
  Extents ext;
  for (TAcadLineBlk& l : m.LineAry) {
    const std::int32_t layer = layers.Index(l.layer);
    if (counts(l, layer)) ext.Add(SegmentBox(l.st, l.ed));
    pens.Assign(l, layer);
  }
  for (TCircleBlk& c : m.CircleAry) {
    const std::int32_t layer = layers.Index(c.layer);
    if (counts(c, layer)) ext.Add(CircleBox(c.center, c.hankei));
    pens.Assign(c, layer);
  }
  for (TArcBlk& a : m.ArcAry) {
    const std::int32_t layer = layers.Index(a.layer);
    if (counts(a, layer)) ext.Add(ArcBox(a.center, a.hankei, a.st * kDegToRad, a.ed * kDegToRad));
    pens.Assign(a, layer);
  }
  // Texts count only when nothing else does.
  const bool texts = !ext.Found();
  for (TTextBlk& t : m.TextAry) {
    const std::int32_t layer = layers.Index(t.layer);
    if (texts && counts(t, layer)) ext.Add(TextBox(t));
    pens.Assign(t, layer);
  }
  return ext.Result();
}

TBox ComputeExtents(const TDrawingModel& m) {
  const LayerLookup layers(m);
  auto counts = [&](const auto& r) { return r.code60 == 0 && r.code67 == 0 && layers.Visible(r.layer); };
  Extents ext;
  for (const TAcadLineBlk& l : m.LineAry)
    if (counts(l)) ext.Add(SegmentBox(l.st, l.ed));
  for (const TCircleBlk& c : m.CircleAry)
    if (counts(c)) ext.Add(CircleBox(c.center, c.hankei));
  for (const TArcBlk& a : m.ArcAry)
    if (counts(a)) ext.Add(ArcBox(a.center, a.hankei, a.st * kDegToRad, a.ed * kDegToRad));
  if (!ext.Found()) {
    for (const TTextBlk& t : m.TextAry)
      if (counts(t)) ext.Add(TextBox(t));
  }
  return ext.Result();
}

}  // namespace tesmar
