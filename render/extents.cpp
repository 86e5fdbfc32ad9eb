#include "render/extents.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <optional>

#include "render/colours.h"
#include "render/layer_lookup.h"
#include "render/text_draw.h"
#include "render/textcodes.h"

namespace tesmar {

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

// The area a text's letters take, for the extents: a cell of the text height per line, as long
// as the text is drawn (StringAdvance, the width factor applied; an MTEXT no wider than its
// reference width), placed by the justification as the text is drawn.
TBox TextExtentBox(const TTextBlk& t) {
  const double h = std::fabs(t.code40);
  double x0 = 0, x1 = 0, y0 = 0, y1 = h;
  TAcadPoint anchor = t.pt10;
  double angle = t.code50 * kDegToRad;
  if (t.mtflag) {
    const std::vector<std::u16string> lines = SplitMtextLines(t.str);
    double w = 0;
    for (const std::u16string& line : lines)
      w = std::max(w, h * StringAdvance(StripMtextCodes(line)));
    if (t.code41 > 0) w = std::min(w, t.code41);
    const double L = h + h * t.code44 * 5 / 3 * static_cast<double>(lines.empty() ? 0 : lines.size() - 1);
    const int col = (t.code71 - 1) % 3, row = (t.code71 - 1) / 3;  // attachment 1..9
    x0 = col == 1 ? -w / 2 : col == 2 ? -w : 0;
    y1 = row == 0 ? 0 : row == 1 ? L / 2 : L;
    y0 = y1 - L;
    x1 = x0 + w;
    if (t.pt11.x != 0 || t.pt11.y != 0) angle = std::atan2(t.pt11.y, t.pt11.x);
  } else {
    const double w = h * t.code41 * StringAdvance(t.str);
    if (!((t.code72 == 0 || t.code72 == 3 || t.code72 == 5) && t.code73 == 0)) anchor = t.pt11;
    if (t.code72 == 3 || t.code72 == 5) {  // aligned and fit: from pt10 to pt11
      const double L = AcadPointDistance(t.pt10, t.pt11);
      anchor = t.pt10;
      x1 = L > 0 ? L : w;
      if (L > 0) angle = AcadPointAngle(t.pt10, t.pt11);
    } else {
      x0 = (t.code72 == 1 || t.code72 == 4) ? -w / 2 : t.code72 == 2 ? -w : 0;
      x1 = x0 + w;
    }
    switch (t.code73) {
      case 1: y0 = -0.3 * h, y1 = 0.7 * h; break;
      case 2: y0 = -h / 2, y1 = h / 2; break;
      case 3: y0 = -h, y1 = 0; break;
      default: break;
    }
  }
  TBox box{anchor, anchor};
  for (const TAcadPoint& c : {TAcadPoint{x0, y0, 0}, TAcadPoint{x1, y0, 0}, TAcadPoint{x0, y1, 0}, TAcadPoint{x1, y1, 0}}) {
    const TAcadPoint r = AcadPointRotateCcw(c, angle);
    BoxAdd(box, {anchor.x + r.x, anchor.y + r.y, 0});
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
  // Whether the box found so far holds the square of half-side |r| about c, and with it every
  // point that c offset by at most |r| along each axis rounds to. False for NaN.
  bool Holds(const TAcadPoint& c, double r) const {
    if (!box_) return false;
    const double a = std::fabs(r);
    return box_->min.x <= c.x - a && c.x + a <= box_->max.x && box_->min.y <= c.y - a && c.y + a <= box_->max.y;
  }
  TBox Result() const {
    if (!box_) return {};
    return {{box_->min.x, box_->min.y, 0}, {box_->max.x, box_->max.y, 0}};
  }

 private:
  std::optional<TBox> box_;
};

}  // namespace

TBox TextBox(const TTextBlk& t) { return t.mtflag ? MtextBox(t) : SingleTextBox(t); }

namespace {

// The extents of the visible records, calling visit(record, layer index) for every line,
// circle, arc and text on the way.
template <class Model, class Visit>
TBox ScanExtents(Model& m, Visit&& visit) {
  const LayerLookup layers(m);
  auto counts = [&](const auto& r, std::int32_t layer) {
    return r.code60 == 0 && r.code67 == 0 && (layer < 0 || m.LayerAry[static_cast<std::size_t>(layer)].visible);
  };
  Extents ext;
  for (auto& l : m.LineAry) {
    const std::int32_t layer = layers.Index(l.layer);
    if (counts(l, layer)) ext.Add(SegmentBox(l.st, l.ed));
    visit(l, layer);
  }
  for (auto& c : m.CircleAry) {
    const std::int32_t layer = layers.Index(c.layer);
    if (counts(c, layer)) ext.Add(CircleBox(c.center, c.hankei));
    visit(c, layer);
  }
  for (auto& a : m.ArcAry) {
    const std::int32_t layer = layers.Index(a.layer);
    // An arc inside the box found so far cannot widen it: its ends need not be worked out.
    if (counts(a, layer) && !ext.Holds(a.center, a.hankei))
      ext.Add(ArcBox(a.center, a.hankei, a.st * kDegToRad, a.ed * kDegToRad));
    visit(a, layer);
  }
  for (auto& t : m.TextAry) {
    const std::int32_t layer = layers.Index(t.layer);
    if (counts(t, layer) && (t.code70 & 1) == 0 && std::isfinite(t.code40)) ext.Add(TextExtentBox(t));
    visit(t, layer);
  }
  for (auto& f : m.FillAry) {
    const std::int32_t layer = layers.Index(f.layer);
    if (counts(f, layer))
      for (const TAcadPoint& p : f.pts) ext.Add(TBox{p, p});
    visit(f, layer);
  }
  // An infinite line counts with its base point only.
  for (auto& x : m.XlineAry) {
    const std::int32_t layer = layers.Index(x.layer);
    if (counts(x, layer)) ext.Add(TBox{x.base, x.base});
    visit(x, layer);
  }
  return ext.Result();
}

}  // namespace

TBox ComputeExtents(const TDrawingModel& m) {
  return ScanExtents(m, [](const auto&, std::int32_t) {});
}

TBox ComputeExtentsAndAssignPens(TDrawingModel& m) {
  TPenAssigner pens(m);
  return ScanExtents(m, [&](auto& r, std::int32_t layer) { pens.Assign(r, layer); });
}

}  // namespace tesmar
