#include "render/expand.h"

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

bool StartsWithStar(const std::u16string& name) { return !name.empty() && name.front() == u'*'; }

// An INSERT whose x and y scales have opposite signs draws its block mirrored.
bool Mirrors(const TInsertBlk& insert) { return (insert.scale.x < 0) != (insert.scale.y < 0); }

// Keeps an angle in degrees within [0, 360).
double NormalizeDegrees(double a) {
  if (!std::isfinite(a)) return a;
  double r = std::fmod(a, 360.0);
  if (r < 0) r += 360.0;
  if (r >= 360.0) r = 0;
  return r;
}

// The records of each block, found once per expansion by block name: per kind, the indices of
// the Blk table records whose bname is that name, in table order.
struct BlockRecords {
  std::vector<std::size_t> lines, circles, arcs, texts, solids;
};

class BlockIndex {
 public:
  explicit BlockIndex(const TDrawingModel& m) {
    for (std::size_t i = 0; i < m.BlockAry.size(); ++i) first_.emplace(m.BlockAry[i].name, i);
    Add(m.BlkLineAry, &BlockRecords::lines);
    Add(m.BlkCircleAry, &BlockRecords::circles);
    Add(m.BlkArcAry, &BlockRecords::arcs);
    Add(m.BlkTextAry, &BlockRecords::texts);
    Add(m.BlkSolidAry, &BlockRecords::solids);
  }
  // Index in BlockAry of the first block of that name, or -1.
  long long FirstBlock(const std::u16string& name) const {
    auto it = first_.find(name);
    return it == first_.end() ? -1 : static_cast<long long>(it->second);
  }
  const BlockRecords& Records(const std::u16string& name) const {
    static const BlockRecords none;
    auto it = records_.find(name);
    return it == records_.end() ? none : it->second;
  }

 private:
  template <class Table>
  void Add(const Table& table, std::vector<std::size_t> BlockRecords::*kind) {
    for (std::size_t i = 0; i < table.size(); ++i) (records_[table[i].bname].*kind).push_back(i);
  }
  std::unordered_map<std::u16string, std::size_t> first_;
  std::unordered_map<std::u16string, BlockRecords> records_;
};

// The colour of one placing record's layer, looked up on first use only: a block copies many
// records, and the layer search (which also adds an unknown layer) is needed once, and only
// when some record inherits.
class PlacingLayerColour {
 public:
  explicit PlacingLayerColour(const std::u16string& layer) : layer_(layer) {}
  std::int16_t Get(TDrawingModel& m) {
    if (!colour_) colour_ = GetLayerColor(m, layer_);
    return *colour_;
  }

 private:
  const std::u16string& layer_;
  std::optional<std::int16_t> colour_;
};

// Layer, linetype and colour of a copy on layer "0" or with colour BYBLOCK come from the
// placing record's layer.
template <class Record>
void InheritLayer(TDrawingModel& m, Record& r, const std::u16string& layer, const std::u16string& ltype,
                  PlacingLayerColour& colour) {
  if (r.layer != u"0" && r.color != 0) return;
  if constexpr (requires { r.ltype; }) r.ltype = ltype;
  r.layer = layer;
  r.color = colour.Get(m);
}

template <class Record>
void InheritFromInsert(TDrawingModel& m, Record& r, const TInsertBlk& insert, PlacingLayerColour& colour) {
  r.code67 = insert.code67;
  r.code210 = insert.code210;
  InheritLayer(m, r, insert.layer, insert.ltype, colour);
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

// Copies the lines, circles, arcs and texts of one block, placed by one INSERT.
void CopyBlock(TDrawingModel& m, const BlockIndex& index, const TInsertBlk& insert, const TBlockBlk& block,
               bool transformMtextDirection) {
  const BlockRecords& recs = index.Records(insert.name);
  const double radiusScale = std::fabs(insert.scale.x);
  PlacingLayerColour colour(insert.layer);
  for (std::size_t i : recs.lines) {
    TAcadLineBlk l = m.BlkLineAry[i];
    l.st = InsertTransform(insert, block, l.st);
    l.ed = InsertTransform(insert, block, l.ed);
    InheritFromInsert(m, l, insert, colour);
    m.LineAry.push_back(std::move(l));
  }
  for (std::size_t i : recs.circles) {
    TCircleBlk c = m.BlkCircleAry[i];
    c.center = InsertTransform(insert, block, c.center);
    c.hankei *= radiusScale;
    InheritFromInsert(m, c, insert, colour);
    m.CircleAry.push_back(std::move(c));
  }
  for (std::size_t i : recs.arcs) {
    TArcBlk a = m.BlkArcAry[i];
    a.center = InsertTransform(insert, block, a.center);
    a.hankei *= radiusScale;
    // A mirror reverses the arc's direction: its end becomes the start.
    double st = PlacedAngle(insert, a.st), ed = PlacedAngle(insert, a.ed);
    if (Mirrors(insert)) std::swap(st, ed);
    a.st = NormalizeDegrees(st + insert.rotate);
    a.ed = NormalizeDegrees(ed + insert.rotate);
    InheritFromInsert(m, a, insert, colour);
    m.ArcAry.push_back(std::move(a));
  }
  for (std::size_t i : recs.texts) {
    TTextBlk t = m.BlkTextAry[i];
    t.pt10 = InsertTransform(insert, block, t.pt10);
    if (transformMtextDirection || !t.mtflag) t.pt11 = InsertTransform(insert, block, t.pt11);
    t.code40 *= radiusScale;
    InheritFromInsert(m, t, insert, colour);
    m.TextAry.push_back(std::move(t));
  }
}

// Copies a dimension block as it stands: its graphics are already in drawing coordinates.
// Arrowhead solids become their triangle outline; circles are not copied.
void CopyDimensionBlock(TDrawingModel& m, const BlockRecords& recs) {
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
void ReserveCopies(TDrawingModel& m, const BlockIndex& index, const std::vector<TInsertBlk>& inserts) {
  std::size_t lines = 0, circles = 0, arcs = 0, texts = 0;
  for (const TInsertBlk& insert : inserts) {
    const BlockRecords& recs = index.Records(insert.name);
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

void ExpandInserts(TDrawingModel& m) {
  const BlockIndex index(m);
  ReserveCopies(m, index, m.EntInsertAry);
  // The loop appends to LayerAry (through GetLayerColor) but never to EntInsertAry or BlockAry.
  for (const TInsertBlk& insert : m.EntInsertAry) {
    if (insert.code60 != 0) continue;
    const long long b = index.FirstBlock(insert.name);
    if (b < 0) continue;
    CopyBlock(m, index, insert, m.BlockAry[b], false);
  }
}

void ExpandBlocks(TDrawingModel& m) {
  const BlockIndex index(m);
  std::unordered_set<std::u16string> dimensionBlocks;
  for (const TDimensionBlk& d : m.DimensionAry) dimensionBlocks.insert(d.dimblkName);
  std::unordered_map<std::u16string, std::vector<std::size_t>> placements;
  for (std::size_t i = 0; i < m.EntInsertAry.size(); ++i) placements[m.EntInsertAry[i].name].push_back(i);

  for (const TBlockBlk& block : m.BlockAry) {
    if (dimensionBlocks.count(block.name)) CopyDimensionBlock(m, index.Records(block.name));
    if (block.InsertAry.empty()) continue;

    auto placed = placements.find(block.name);
    if (placed != placements.end()) {
      for (std::size_t i : placed->second) {
        const TInsertBlk& outer = m.EntInsertAry[i];
        // An invisible INSERT hides the blocks nested in it too.
        if (outer.code60 != 0) continue;
        PlacingLayerColour colour(outer.layer);
        for (const TInsertBlk& nested : block.InsertAry) {
          TInsertBlk n = nested;
          InheritFromInsert(m, n, outer, colour);
          // Mirroring turns the nested rotation the other way.
          n.rotate = outer.rotate + (Mirrors(outer) ? -nested.rotate : nested.rotate);
          n.scale = AcadPointMul(nested.scale, outer.scale);
          n.base = InsertTransform(outer, block, nested.base);
          // Now placed in the drawing: no longer held by a block.
          n.dimBlkName.clear();
          m.NestInsertAry.push_back(std::move(n));
        }
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
  ExpandNestedInserts(m);
}

void ExpandNestedInserts(TDrawingModel& m) {
  const BlockIndex index(m);
  ReserveCopies(m, index, m.NestInsertAry);
  std::unordered_set<std::u16string> dimensionBlocks;
  for (const TDimensionBlk& d : m.DimensionAry) dimensionBlocks.insert(d.dimblkName);
  for (const TInsertBlk& n : m.NestInsertAry) {
    if (n.code60 != 0) continue;
    const bool expand = !StartsWithStar(n.dimBlkName) || m.DimensionAry.empty() || dimensionBlocks.count(n.dimBlkName);
    if (!expand) continue;
    const long long b = index.FirstBlock(n.name);
    if (b < 0) continue;
    CopyBlock(m, index, n, m.BlockAry[b], true);
  }
}

}  // namespace tesmar
