#include "render/expand.h"

#include <algorithm>
#include <cmath>
#include <optional>
#include <string>
#include <unordered_map>
#include <unordered_set>
#include <vector>

#include "render/decompose.h"
#include "render/geometry.h"

namespace tesmar {

TAcadPoint InsertTransform(const TInsertBlk& insert, const TBlockBlk& block, TAcadPoint p) {
  const TAcadPoint p1 = AcadPointSub(p, block.base);
  const TAcadPoint p2 = AcadPointMul(p1, insert.scale);
  const TAcadPoint p3 = AcadPointRotate(p2, -insert.rotate * kDegToRad);
  return AcadPointAdd(p3, insert.base);
}

namespace {

bool StartsWithStar(TName name) { return !name.empty() && name.front() == u'*'; }

// An INSERT whose x and y scales have opposite signs draws its block mirrored.
bool Mirrors(const TInsertBlk& insert) { return (insert.scale.x < 0) != (insert.scale.y < 0); }

// Keeps an angle in degrees within [0, 360).
double NormalizeDegrees(double a) {
  if (!std::isfinite(a)) return a;
  // Within a turn either side of the range, fmod's exact result is known without dividing.
  double r = (a > -360.0 && a < 360.0) ? a : (a >= 360.0 && a < 720.0) ? a - 360.0 : std::fmod(a, 360.0);
  if (r < 0) r += 360.0;
  if (r >= 360.0) r = 0;
  return r;
}

// InsertTransform with the sine and cosine of the rotation worked out once per INSERT: the same
// operations in the same order, so the same results.
class Placement {
 public:
  Placement(const TInsertBlk& insert, const TBlockBlk& block) : insert_(insert), block_(block) {
    constexpr double kDegToRad = 0.017453292519943295;
    const double t = -insert.rotate * kDegToRad;
    c_ = std::cos(t);
    s_ = std::sin(t);
  }
  TAcadPoint operator()(TAcadPoint p) const {
    const TAcadPoint p2 = AcadPointMul(AcadPointSub(p, block_.base), insert_.scale);
    const TAcadPoint p3{p2.x * c_ + p2.y * s_, -p2.x * s_ + p2.y * c_, p2.z};
    return AcadPointAdd(p3, insert_.base);
  }

 private:
  const TInsertBlk& insert_;
  const TBlockBlk& block_;
  double c_ = 1, s_ = 0;
};

// The colour of one placing record's layer, looked up on first use only: a block copies many
// records, and the layer search (which also adds an unknown layer) is needed once, and only
// when some record inherits.
class PlacingLayerColour {
 public:
  explicit PlacingLayerColour(TName layer) : layer_(layer) {}
  std::int16_t Get(TDrawingModel& m) {
    if (!colour_) colour_ = GetLayerColor(m, layer_);
    return *colour_;
  }

 private:
  TName layer_;
  std::optional<std::int16_t> colour_;
};

// Layer, linetype and colour of a copy on layer "0" or with colour BYBLOCK come from the
// placing record's layer.
template <class Record>
void InheritLayer(TDrawingModel& m, Record& r, TName layer, TName ltype, PlacingLayerColour& colour) {
  if (r.layer != NameZero() && r.color != 0) return;
  if constexpr (requires { r.ltype; }) r.ltype = ltype;
  r.layer = layer;
  r.color = colour.Get(m);
}

// `extrusion` is the insert's own (the copies of one block take it made once as a TExtrusion).
template <class Record, class Direction>
void InheritFromInsert(TDrawingModel& m, Record& r, const TInsertBlk& insert, const Direction& extrusion,
                       PlacingLayerColour& colour) {
  r.code67 = insert.code67;
  r.code210 = extrusion;
  InheritLayer(m, r, insert.layer, insert.ltype, colour);
}

template <class Record>
void InheritFromInsert(TDrawingModel& m, Record& r, const TInsertBlk& insert, PlacingLayerColour& colour) {
  InheritFromInsert(m, r, insert, insert.code210, colour);
}

// The angle that an arc angle of the block points at once the block is placed (before the
// insert's rotation): mirrored scales turn it over, two negative scales turn it half round.
double PlacedAngle(const TInsertBlk& insert, double a) {
  const bool flipX = insert.scale.x < 0, flipY = insert.scale.y < 0;
  if (flipX && flipY) return a + 180;
  if (flipX) return 180 - a;
  if (flipY) return -a;
  return a;
}

// Appends a copy of `source` to `table` and lets `place` change it where it stands; a copy
// that `place` leaves half done (it throws) is taken out again.
template <class Record, class F>
void AppendPlaced(std::vector<Record>& table, const Record& source, F&& place) {
  Record& r = table.emplace_back(source);
  try {
    place(r);
  } catch (...) {
    table.pop_back();
    throw;
  }
}

// Copies the lines, circles, arcs and texts of one block, placed by one INSERT.
void CopyBlock(TDrawingModel& m, const TBlockIndex& index, const TInsertBlk& insert, const TBlockBlk& block,
               bool transformMtextDirection) {
  const TBlockIndex::Records& recs = index.Of(insert.name);
  const Placement place(insert, block);
  const double radiusScale = std::fabs(insert.scale.x);
  PlacingLayerColour colour(insert.layer);
  const TExtrusion extrusion(insert.code210);
  for (std::size_t i : recs.lines) {
    AppendPlaced(m.LineAry, m.BlkLineAry[i], [&](TAcadLineBlk& l) {
      l.st = place(l.st);
      l.ed = place(l.ed);
      InheritFromInsert(m, l, insert, extrusion, colour);
    });
  }
  for (std::size_t i : recs.circles) {
    AppendPlaced(m.CircleAry, m.BlkCircleAry[i], [&](TCircleBlk& c) {
      c.center = place(c.center);
      c.hankei *= radiusScale;
      InheritFromInsert(m, c, insert, extrusion, colour);
    });
  }
  // A mirror reverses an arc's direction: its end becomes the start.
  const bool mirrors = Mirrors(insert);
  for (std::size_t i : recs.arcs) {
    AppendPlaced(m.ArcAry, m.BlkArcAry[i], [&](TArcBlk& a) {
      a.center = place(a.center);
      a.hankei *= radiusScale;
      double st = PlacedAngle(insert, a.st), ed = PlacedAngle(insert, a.ed);
      if (mirrors) std::swap(st, ed);
      a.st = NormalizeDegrees(st + insert.rotate);
      a.ed = NormalizeDegrees(ed + insert.rotate);
      InheritFromInsert(m, a, insert, extrusion, colour);
    });
  }
  for (std::size_t i : recs.texts) {
    AppendPlaced(m.TextAry, m.BlkTextAry[i], [&](TTextBlk& t) {
      t.pt10 = place(t.pt10);
      if (transformMtextDirection || !t.mtflag) t.pt11 = place(t.pt11);
      t.code40 *= radiusScale;
      InheritFromInsert(m, t, insert, extrusion, colour);
    });
  }
  for (std::size_t i : recs.fills) {
    AppendPlaced(m.FillAry, m.BlkFillAry[i], [&](TFillBlk& f) {
      for (TAcadPoint& p : f.pts) p = place(p);
      f.code67 = insert.code67;
      InheritLayer(m, f, insert.layer, insert.ltype, colour);
    });
  }
  for (std::size_t i : recs.xlines) {
    AppendPlaced(m.XlineAry, m.BlkXlineAry[i], [&](TXlineBlk& x) {
      const TAcadPoint through = place(AcadPointAdd(x.base, x.dir));
      x.base = place(x.base);
      x.dir = AcadPointSub(through, x.base);
      x.code67 = insert.code67;
      InheritLayer(m, x, insert.layer, insert.ltype, colour);
    });
  }
}

std::size_t RecordCount(const TBlockIndex::Records& r) {
  return r.lines.size() + r.circles.size() + r.arcs.size() + r.texts.size() + r.fills.size() + r.xlines.size();
}

// Copies a dimension block as it stands: its graphics are already in drawing coordinates.
// Arrowhead solids become their triangle outline; circles are not copied.
void CopyDimensionBlock(TDrawingModel& m, const TBlockIndex::Records& recs) {
  for (std::size_t i : recs.fills) m.FillAry.push_back(m.BlkFillAry[i]);
  for (std::size_t i : recs.xlines) m.XlineAry.push_back(m.BlkXlineAry[i]);
  for (std::size_t i : recs.lines) m.LineAry.push_back(m.BlkLineAry[i]);
  for (std::size_t i : recs.arcs) m.ArcAry.push_back(m.BlkArcAry[i]);
  for (std::size_t i : recs.texts) m.TextAry.push_back(m.BlkTextAry[i]);
  for (std::size_t i : recs.solids) {
    const TSolidBlk& s = m.BlkSolidAry[i];
    for (auto [a, b] : {std::pair{s.p1, s.p2}, std::pair{s.p2, s.p3}, std::pair{s.p3, s.p1}}) {
      TAcadLineBlk l = SegmentOf(s, a, b);
      l.bname = s.bname;
      m.LineAry.push_back(std::move(l));
    }
  }
}

// Makes room in the drawing tables for the copies that the INSERTs will add.
void ReserveCopies(TDrawingModel& m, const TBlockIndex& index, const std::vector<TInsertBlk>& inserts) {
  std::size_t lines = 0, circles = 0, arcs = 0, texts = 0;
  for (const TInsertBlk& insert : inserts) {
    const TBlockIndex::Records& recs = index.Of(insert.name);
    lines += recs.lines.size();
    circles += recs.circles.size();
    arcs += recs.arcs.size();
    texts += recs.texts.size();
  }
  m.LineAry.reserve(m.LineAry.size() + lines);
  m.CircleAry.reserve(m.CircleAry.size() + circles);
  m.ArcAry.reserve(m.ArcAry.size() + arcs);
  m.TextAry.reserve(m.TextAry.size() + texts);
}

}  // namespace

TBlockIndex::TBlockIndex(const TDrawingModel& m) {
  for (std::size_t i = 0; i < m.BlockAry.size(); ++i) first_.emplace(m.BlockAry[i].name, i);
  auto add = [&](const auto& table, std::vector<std::size_t> Records::*kind) {
    for (std::size_t i = 0; i < table.size(); ++i) (records_[table[i].bname].*kind).push_back(i);
  };
  add(m.BlkLineAry, &Records::lines);
  add(m.BlkCircleAry, &Records::circles);
  add(m.BlkArcAry, &Records::arcs);
  add(m.BlkTextAry, &Records::texts);
  add(m.BlkSolidAry, &Records::solids);
  add(m.BlkFillAry, &Records::fills);
  add(m.BlkXlineAry, &Records::xlines);
}

const TBlockIndex::Records& TBlockIndex::Of(TName name) const {
  static const Records none;
  auto it = records_.find(name);
  return it == records_.end() ? none : it->second;
}

void ExpandInserts(TDrawingModel& m) { ExpandInserts(m, TBlockIndex(m)); }
void ExpandBlocks(TDrawingModel& m) { ExpandBlocks(m, TBlockIndex(m)); }
void ExpandNestedInserts(TDrawingModel& m) { ExpandNestedInserts(m, TBlockIndex(m)); }
void ExpandNestedInserts(TDrawingModel& m, const TBlockIndex& index) {
  ExpandNestedInserts(m, index, kDeepExpansionBound);
}

namespace {

std::unordered_set<TName> DimensionBlocks(const TDrawingModel& m) {
  std::unordered_set<TName> names;
  for (const TDimensionBlk& d : m.DimensionAry) names.insert(d.dimblkName);
  return names;
}

// The nested INSERT placed in the drawing through the INSERT `outer` of its block.
TInsertBlk PlaceNested(TDrawingModel& m, const TInsertBlk& outer, const Placement& place, PlacingLayerColour& colour,
                       const TInsertBlk& nested) {
  TInsertBlk n = nested;
  InheritFromInsert(m, n, outer, colour);
  // Mirroring turns the nested rotation the other way.
  n.rotate = outer.rotate + (Mirrors(outer) ? -nested.rotate : nested.rotate);
  n.scale = AcadPointMul(nested.scale, outer.scale);
  n.base = place(nested.base);
  // Now placed in the drawing: no longer held by a block.
  n.dimBlkName = TName();
  return n;
}

// The levels below NestInsertAry: the INSERTs inside a block placed by `outer` (an INSERT in
// drawing coordinates), followed to any depth. `chain` holds the blocks being placed, so that a
// block met again inside itself is passed over; `left` is what the bound still allows to be
// copied, and a block that does not fit ends the walk with `cut` set. visit(n, block) is called
// for each INSERT so placed.
struct DeepWalk {
  TDrawingModel& m;
  const TBlockIndex& index;
  std::size_t left;
  bool cut = false;
  std::vector<TName> chain;

  template <class Visit>
  void Below(const TInsertBlk& outer, const TBlockBlk& block, Visit&& visit) {
    if (block.InsertAry.empty() || cut) return;
    chain.push_back(block.name);
    PlacingLayerColour colour(outer.layer);
    const Placement place(outer, block);
    for (const TInsertBlk& nested : block.InsertAry) {
      if (cut) break;
      if (nested.code60 != 0 || std::find(chain.begin(), chain.end(), nested.name) != chain.end()) continue;
      const long long b = index.FirstBlock(nested.name);
      if (b < 0) continue;
      const std::size_t adds = RecordCount(index.Of(nested.name));
      if (adds > left) {
        cut = true;
        break;
      }
      left -= adds;
      const TInsertBlk n = PlaceNested(m, outer, place, colour, nested);
      const TBlockBlk& inner = m.BlockAry[static_cast<std::size_t>(b)];
      visit(n, inner);
      Below(n, inner, visit);
    }
    chain.pop_back();
  }
};

// Whether ExpandNestedInserts copies the block of nested INSERT n.
bool ExpandsNested(const TDrawingModel& m, const std::unordered_set<TName>& dimensionBlocks, const TInsertBlk& n) {
  return n.code60 == 0 &&
         (!StartsWithStar(n.dimBlkName) || m.DimensionAry.empty() || dimensionBlocks.count(n.dimBlkName));
}

// INSERTs of EntInsertAry by the name of the block they place, in table order.
std::unordered_map<TName, std::vector<std::size_t>> Placements(const TDrawingModel& m) {
  std::unordered_map<TName, std::vector<std::size_t>> placements;
  for (std::size_t i = 0; i < m.EntInsertAry.size(); ++i) placements[m.EntInsertAry[i].name].push_back(i);
  return placements;
}

}  // namespace

void ExpandInserts(TDrawingModel& m, const TBlockIndex& index) {
  ReserveCopies(m, index, m.EntInsertAry);
  // The loop appends to LayerAry (through GetLayerColor) but never to EntInsertAry or BlockAry.
  for (const TInsertBlk& insert : m.EntInsertAry) {
    if (insert.code60 != 0) continue;
    const long long b = index.FirstBlock(insert.name);
    if (b < 0) continue;
    CopyBlock(m, index, insert, m.BlockAry[b], false);
  }
}

void ExpandBlocks(TDrawingModel& m, const TBlockIndex& index) {
  const std::unordered_set<TName> dimensionBlocks = DimensionBlocks(m);
  const auto placements = Placements(m);

  for (const TBlockBlk& block : m.BlockAry) {
    if (dimensionBlocks.count(block.name)) CopyDimensionBlock(m, index.Of(block.name));
    if (block.InsertAry.empty()) continue;

    auto placed = placements.find(block.name);
    if (placed != placements.end()) {
      for (std::size_t i : placed->second) {
        const TInsertBlk& outer = m.EntInsertAry[i];
        // An invisible INSERT hides the blocks nested in it too.
        if (outer.code60 != 0) continue;
        PlacingLayerColour colour(outer.layer);
        const Placement place(outer, block);
        for (const TInsertBlk& nested : block.InsertAry)
          m.NestInsertAry.push_back(PlaceNested(m, outer, place, colour, nested));
      }
    } else if (StartsWithStar(block.name)) {
      // An anonymous block that no INSERT places (the graphics of a dimension): its nested
      // INSERTs are in drawing coordinates as they stand.
      PlacingLayerColour colour(block.layer);
      for (const TInsertBlk& nested : block.InsertAry) {
        TInsertBlk n = nested;
        InheritLayer(m, n, block.layer, block.ltype, colour);
        m.NestInsertAry.push_back(std::move(n));
      }
    }
  }
  ExpandNestedInserts(m, index);
}

void ExpandNestedInserts(TDrawingModel& m, const TBlockIndex& index, std::size_t deepBound) {
  ReserveCopies(m, index, m.NestInsertAry);
  const std::unordered_set<TName> dimensionBlocks = DimensionBlocks(m);
  DeepWalk deep{m, index, deepBound};
  for (const TInsertBlk& n : m.NestInsertAry) {
    if (!ExpandsNested(m, dimensionBlocks, n)) continue;
    const long long b = index.FirstBlock(n.name);
    if (b < 0) continue;
    CopyBlock(m, index, n, m.BlockAry[b], true);
    deep.Below(n, m.BlockAry[b], [&](const TInsertBlk& k, const TBlockBlk& block) { CopyBlock(m, index, k, block, true); });
  }
  if (deep.cut) m.expansionCut = true;
}

}  // namespace tesmar

namespace tesmar {

TCopyCounts CountExpansion(const TDrawingModel& m, const TBlockIndex& index) {
  TCopyCounts c;
  auto add = [&](const TBlockIndex::Records& r) {
    c.lines += r.lines.size(), c.circles += r.circles.size(), c.arcs += r.arcs.size(), c.texts += r.texts.size();
    c.fills += r.fills.size(), c.xlines += r.xlines.size();
  };
  for (const TInsertBlk& insert : m.EntInsertAry)
    if (insert.code60 == 0 && index.FirstBlock(insert.name) >= 0) add(index.Of(insert.name));
  const std::unordered_set<TName> dimensionBlocks = DimensionBlocks(m);
  const auto placements = Placements(m);
  // The levels below, as ExpandNestedInserts walks them: the same blocks in the same order
  // under the same bound (placing them changes nothing in what they copy).
  std::size_t left = kDeepExpansionBound;
  bool cut = false;
  std::vector<TName> chain;
  auto below = [&](auto& self, const TBlockBlk& block) -> void {
    if (block.InsertAry.empty() || cut) return;
    chain.push_back(block.name);
    for (const TInsertBlk& nested : block.InsertAry) {
      if (cut) break;
      if (nested.code60 != 0 || std::find(chain.begin(), chain.end(), nested.name) != chain.end()) continue;
      const long long b = index.FirstBlock(nested.name);
      if (b < 0) continue;
      const TBlockIndex::Records& r = index.Of(nested.name);
      if (RecordCount(r) > left) {
        cut = true;
        break;
      }
      left -= RecordCount(r);
      add(r);
      self(self, m.BlockAry[static_cast<std::size_t>(b)]);
    }
    chain.pop_back();
  };
  auto addNested = [&](const TInsertBlk& n) {
    if (!ExpandsNested(m, dimensionBlocks, n)) return;
    const long long b = index.FirstBlock(n.name);
    if (b < 0) return;
    add(index.Of(n.name));
    below(below, m.BlockAry[static_cast<std::size_t>(b)]);
  };
  for (const TBlockBlk& block : m.BlockAry) {
    if (dimensionBlocks.count(block.name)) {
      const TBlockIndex::Records& r = index.Of(block.name);
      c.lines += r.lines.size() + 3 * r.solids.size(), c.arcs += r.arcs.size(), c.texts += r.texts.size();
      c.fills += r.fills.size(), c.xlines += r.xlines.size();
    }
    if (block.InsertAry.empty()) continue;
    auto placed = placements.find(block.name);
    if (placed != placements.end()) {
      for (std::size_t i : placed->second) {
        if (m.EntInsertAry[i].code60 != 0) continue;
        // A placed nested INSERT no longer names the block header it was read under.
        for (TInsertBlk n : block.InsertAry) n.dimBlkName = TName(), addNested(n);
      }
    } else if (StartsWithStar(block.name)) {
      for (const TInsertBlk& n : block.InsertAry) addNested(n);
    }
  }
  return c;
}

}  // namespace tesmar
