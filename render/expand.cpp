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
#include "render/work_budget.h"

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
  TWorkBudget budget;
  ExpandNestedInserts(m, index, budget);
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

// The copies that an array INSERT stands for, row by row (the INSERT itself when it is no
// array): each moved by its column and row spacing along the INSERT's own axes.
int Cells(const TInsertBlk& insert) {
  return std::max<int>(1, insert.columns) * std::max<int>(1, insert.rows);
}

TInsertBlk Cell(const TInsertBlk& insert, int cell) {
  TInsertBlk c = insert;
  c.columns = c.rows = 1;
  if (cell == 0) return c;
  const int columns = std::max<int>(1, insert.columns);
  const double dx = (cell % columns) * insert.columnSpacing, dy = (cell / columns) * insert.rowSpacing;
  const TAcadPoint d = AcadPointRotateCcw(TAcadPoint{dx, dy, 0}, insert.rotate * kDegToRad);
  c.base = AcadPointAdd(insert.base, d);
  return c;
}

// The one walk of the expansion below the drawing's INSERTs: each cell of an INSERT `top` of
// NestInsertAry (in drawing coordinates) is a copy of its block, and so, to any depth, is each
// cell of the INSERTs inside a block copied. A block met again inside itself is passed over.
// Every copy is charged to the budget, whether its block holds records or not, and the walk
// ends when the budget is spent. The levels are kept on a stack of their own, so that no depth
// of nesting uses up the thread's stack.
//
// The visitor decides what a copy is: `Node Place(const Node& outer, const TBlockBlk& block,
// const TInsertBlk& nested)` places a nested INSERT of block (copied by outer), and
// `void Copy(const Node& cell, const TBlockBlk& block)` takes one copy.
template <class Visitor>
class ExpansionWalk {
 public:
  using Node = TInsertBlk;
  ExpansionWalk(const TDrawingModel& m, const TBlockIndex& index, TWorkBudget& budget, Visitor& visitor)
      : m_(m), index_(index), budget_(budget), visitor_(visitor), onChain_(m.BlockAry.size(), 0) {}

  // Copies the cells of top (whose block is BlockAry[b]) and every level below them.
  void Run(const Node& top, std::size_t b) {
    for (int k = 0, n = Cells(top); k < n && !budget_.Cut(); ++k) {
      if (!Visit(Cell(top, k), b)) return;
      while (!stack_.empty() && Advance()) {
      }
      if (!stack_.empty()) {  // the budget ran out on the way down
        stack_.clear();
        std::fill(onChain_.begin(), onChain_.end(), 0);
        return;
      }
    }
  }

 private:
  struct Level {
    Node cell;              // the copy whose block's INSERTs are being placed
    std::size_t block;      // its block
    std::size_t next = 0;   // the next INSERT of that block
    Node nested;            // the INSERT being placed, and its cells still to copy
    std::size_t nestedBlock = 0;
    int cell_ = 0, cells = 0;
  };

  // Charges and takes one copy, and opens its level when its block holds INSERTs; false when
  // the budget is spent.
  bool Visit(const Node& cell, std::size_t b) {
    const TBlockBlk& block = m_.BlockAry[b];
    const std::size_t records = RecordCount(index_.Of(block.name));
    if (!budget_.Step(TWorkBudget::kVisitSteps + records) || !budget_.TakeRecords(records)) return false;
    visitor_.Copy(cell, block);
    if (!block.InsertAry.empty()) {
      ++onChain_[b];
      stack_.push_back(Level{cell, b});
    }
    return true;
  }

  // One step of the walk at the deepest level; false when the walk is over.
  bool Advance() {
    Level& l = stack_.back();
    if (l.cell_ < l.cells) {
      const Node cell = Cell(l.nested, l.cell_++);
      return Visit(cell, l.nestedBlock);
    }
    const TBlockBlk& block = m_.BlockAry[l.block];
    while (l.next < block.InsertAry.size()) {
      const TInsertBlk& nested = block.InsertAry[l.next++];
      if (!budget_.Step()) return false;
      if (nested.code60 != 0) continue;
      const long long nb = index_.FirstBlock(nested.name);
      if (nb < 0 || onChain_[static_cast<std::size_t>(nb)]) continue;
      l.nested = visitor_.Place(l.cell, block, nested);
      l.nestedBlock = static_cast<std::size_t>(nb);
      l.cell_ = 0;
      l.cells = Cells(l.nested);
      return true;
    }
    --onChain_[l.block];
    stack_.pop_back();
    return true;
  }

  const TDrawingModel& m_;
  const TBlockIndex& index_;
  TWorkBudget& budget_;
  Visitor& visitor_;
  std::vector<std::uint32_t> onChain_;  // per block: how many levels of the stack copy it
  std::vector<Level> stack_;
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

// What the expansion does with each copy: places nested INSERTs in drawing coordinates and
// copies the block's records into the drawing tables.
struct CopyingVisitor {
  TDrawingModel& m;
  const TBlockIndex& index;
  bool nested;  // below NestInsertAry: MTEXT directions are placed too
  TInsertBlk Place(const TInsertBlk& outer, const TBlockBlk& block, const TInsertBlk& inner) {
    PlacingLayerColour colour(outer.layer);
    return PlaceNested(m, outer, Placement(outer, block), colour, inner);
  }
  void Copy(const TInsertBlk& cell, const TBlockBlk& block) { CopyBlock(m, index, cell, block, nested); }
};

// What CountExpansion does with each copy: adds up its records.
struct CountingVisitor {
  const TBlockIndex& index;
  TCopyCounts& c;
  TInsertBlk Place(const TInsertBlk&, const TBlockBlk&, const TInsertBlk& inner) { return inner; }
  void Copy(const TInsertBlk&, const TBlockBlk& block) { Add(c, index.Of(block.name)); }
  static void Add(TCopyCounts& c, const TBlockIndex::Records& r) {
    c.lines += r.lines.size(), c.circles += r.circles.size(), c.arcs += r.arcs.size(), c.texts += r.texts.size();
    c.fills += r.fills.size(), c.xlines += r.xlines.size();
  }
};

// The INSERTs of the drawing, each cell a copy of its block (the levels below come through
// NestInsertAry).
template <class Visitor>
void WalkDrawingInserts(const TDrawingModel& m, const TBlockIndex& index, TWorkBudget& budget, Visitor& visitor) {
  // The copies append to LayerAry (through GetLayerColor) but never to EntInsertAry or BlockAry.
  for (const TInsertBlk& insert : m.EntInsertAry) {
    if (insert.code60 != 0 || budget.Cut()) continue;
    const long long b = index.FirstBlock(insert.name);
    if (b < 0) continue;
    const TBlockBlk& block = m.BlockAry[static_cast<std::size_t>(b)];
    const std::size_t records = RecordCount(index.Of(insert.name));
    for (int k = 0, n = Cells(insert); k < n; ++k) {
      if (!budget.Step(TWorkBudget::kVisitSteps + records) || !budget.TakeRecords(records)) break;
      visitor.Copy(Cell(insert, k), block);
    }
  }
}

// The nested INSERTs of the blocks that the drawing's INSERTs place (one set per cell), and
// those of anonymous blocks that no INSERT places, in drawing coordinates: f(n) for each, in
// the order NestInsertAry takes them.
// Each costs the budget as much as two records (an INSERT is about twice a line's size).
// `placed(n)` takes the nested INSERTs of placed blocks, `anonymous(n, block)` the others.
template <class Visitor, class Placed, class Anonymous>
void WalkNestedInserts(const TDrawingModel& m, TWorkBudget& budget, Visitor& visitor, Placed&& placed,
                       Anonymous&& anonymous) {
  const auto placements = Placements(m);
  for (const TBlockBlk& block : m.BlockAry) {
    if (block.InsertAry.empty()) continue;
    auto by = placements.find(block.name);
    if (by != placements.end()) {
      for (std::size_t i : by->second) {
        const TInsertBlk& outer = m.EntInsertAry[i];
        // An invisible INSERT hides the blocks nested in it too.
        if (outer.code60 != 0) continue;
        for (int k = 0, n = Cells(outer); k < n; ++k) {
          const TInsertBlk cell = Cell(outer, k);
          for (const TInsertBlk& nested : block.InsertAry) {
            if (!budget.Step() || !budget.TakeRecords(2)) return;
            placed(visitor.Place(cell, block, nested));
          }
        }
      }
    } else if (StartsWithStar(block.name)) {
      for (const TInsertBlk& nested : block.InsertAry) anonymous(nested, block);
    }
  }
}

}  // namespace

void ExpandInserts(TDrawingModel& m, const TBlockIndex& index) {
  TWorkBudget budget;
  ExpandInserts(m, index, budget);
}

void ExpandInserts(TDrawingModel& m, const TBlockIndex& index, TWorkBudget& budget) {
  ReserveCopies(m, index, m.EntInsertAry);
  CopyingVisitor visitor{m, index, false};
  WalkDrawingInserts(m, index, budget, visitor);
  if (budget.Cut()) m.expansionCut = true;
}

void ExpandBlocks(TDrawingModel& m, const TBlockIndex& index) {
  TWorkBudget budget;
  ExpandBlocks(m, index, budget);
}

void ExpandBlocks(TDrawingModel& m, const TBlockIndex& index, TWorkBudget& budget) {
  const std::unordered_set<TName> dimensionBlocks = DimensionBlocks(m);
  for (const TBlockBlk& block : m.BlockAry)
    if (dimensionBlocks.count(block.name)) CopyDimensionBlock(m, index.Of(block.name));
  CopyingVisitor visitor{m, index, true};
  std::vector<TInsertBlk> nested;
  WalkNestedInserts(
      m, budget, visitor, [&](TInsertBlk n) { nested.push_back(std::move(n)); },
      [&](const TInsertBlk& n, const TBlockBlk& block) {
        // An anonymous block that no INSERT places (the graphics of a dimension): its nested
        // INSERTs are in drawing coordinates as they stand.
        PlacingLayerColour colour(block.layer);
        TInsertBlk placed = n;
        InheritLayer(m, placed, block.layer, block.ltype, colour);
        nested.push_back(std::move(placed));
      });
  m.NestInsertAry.insert(m.NestInsertAry.end(), std::make_move_iterator(nested.begin()),
                         std::make_move_iterator(nested.end()));
  ExpandNestedInserts(m, index, budget);
}

void ExpandNestedInserts(TDrawingModel& m, const TBlockIndex& index, std::size_t records) {
  TWorkBudget budget(records, TWorkBudget::kSteps);
  ExpandNestedInserts(m, index, budget);
}

void ExpandNestedInserts(TDrawingModel& m, const TBlockIndex& index, TWorkBudget& budget) {
  ReserveCopies(m, index, m.NestInsertAry);
  const std::unordered_set<TName> dimensionBlocks = DimensionBlocks(m);
  CopyingVisitor visitor{m, index, true};
  ExpansionWalk walk(m, index, budget, visitor);
  for (const TInsertBlk& n : m.NestInsertAry) {
    if (budget.Cut()) break;
    if (!ExpandsNested(m, dimensionBlocks, n)) continue;
    const long long b = index.FirstBlock(n.name);
    if (b < 0) continue;
    walk.Run(n, static_cast<std::size_t>(b));
  }
  if (budget.Cut()) m.expansionCut = true;
}

TCopyCounts CountExpansion(const TDrawingModel& m, const TBlockIndex& index) {
  TWorkBudget budget;
  return CountExpansion(m, index, budget);
}

TCopyCounts CountExpansion(const TDrawingModel& m, const TBlockIndex& index, TWorkBudget budget) {
  TCopyCounts c;
  CountingVisitor visitor{index, c};
  WalkDrawingInserts(m, index, budget, visitor);
  const std::unordered_set<TName> dimensionBlocks = DimensionBlocks(m);
  for (const TBlockBlk& block : m.BlockAry) {
    if (!dimensionBlocks.count(block.name)) continue;
    const TBlockIndex::Records& r = index.Of(block.name);
    c.lines += r.lines.size() + 3 * r.solids.size(), c.arcs += r.arcs.size(), c.texts += r.texts.size();
    c.fills += r.fills.size(), c.xlines += r.xlines.size();
  }
  // The levels below, as ExpandNestedInserts walks them: the same copies in the same order
  // under the same budget (placing them changes nothing in what they copy).
  ExpansionWalk walk(m, index, budget, visitor);
  auto run = [&](const TInsertBlk& n) {
    if (budget.Cut() || !ExpandsNested(m, dimensionBlocks, n)) return;
    const long long b = index.FirstBlock(n.name);
    if (b >= 0) walk.Run(n, static_cast<std::size_t>(b));
  };
  std::vector<TInsertBlk> nested;
  WalkNestedInserts(
      m, budget, visitor,
      // A placed nested INSERT no longer names the block header it was read under.
      [&](TInsertBlk n) { n.dimBlkName = TName(), nested.push_back(std::move(n)); },
      [&](const TInsertBlk& n, const TBlockBlk&) { nested.push_back(n); });
  for (const TInsertBlk& n : nested) run(n);
  return c;
}

}  // namespace tesmar
