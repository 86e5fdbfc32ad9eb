#pragma once
// Block and insert expansion: copies the lines, circles, arcs, texts, fills and infinite lines
// of BLOCK definitions into the drawing tables, transformed into drawing coordinates, for the
// INSERTs of the drawing, for the anonymous blocks of DIMENSIONs and for the INSERTs nested
// inside block definitions, to any depth.
#include <cstddef>
#include <unordered_map>
#include <vector>

#include "dxf/model.h"
#include "render/work_budget.h"

namespace tesmar {

// The records of each block: per kind, the indices of the Blk table records whose bname is
// that name, in table order; and the first BLOCK of each name. Built once per expansion; valid
// while BlockAry and the Blk tables are not changed.
class TBlockIndex {
 public:
  struct Records {
    std::vector<std::size_t> lines, circles, arcs, texts, solids, fills, xlines;
  };
  explicit TBlockIndex(const TDrawingModel& m);
  // Index in BlockAry of the first block of that name, or -1.
  long long FirstBlock(TName name) const {
    auto it = first_.find(name);
    return it == first_.end() ? -1 : static_cast<long long>(it->second);
  }
  const Records& Of(TName name) const;

 private:
  std::unordered_map<TName, std::size_t> first_;
  std::unordered_map<TName, Records> records_;
};

// Expands the visible INSERTs of EntInsertAry, each cell of an array INSERT a copy. An INSERT
// whose block does not exist adds nothing. Each copy takes from `budget` (without one, from a
// budget of its own); copies that do not fit are left out and set `expansionCut`.
void ExpandInserts(TDrawingModel& m);
void ExpandInserts(TDrawingModel& m, const TBlockIndex& index);
void ExpandInserts(TDrawingModel& m, const TBlockIndex& index, TWorkBudget& budget);

// Copies the graphics of dimension blocks as they stand, collects the nested INSERTs of placed
// blocks (and of anonymous blocks that no INSERT places) into NestInsertAry, then calls
// ExpandNestedInserts.
void ExpandBlocks(TDrawingModel& m);
void ExpandBlocks(TDrawingModel& m, const TBlockIndex& index);
void ExpandBlocks(TDrawingModel& m, const TBlockIndex& index, TWorkBudget& budget);

// What the viewer's status field adds after opening a drawing drawn in part.
inline constexpr char16_t kExpansionCutNote[] = u"  図形が多すぎるため一部のみ表示";

// Expands the INSERTs of NestInsertAry and, to any depth, the INSERTs inside their blocks (a
// block is not followed into itself). Every copy, and every INSERT looked at on the way,
// takes from the budget (or a budget of `records` records).
void ExpandNestedInserts(TDrawingModel& m);
void ExpandNestedInserts(TDrawingModel& m, const TBlockIndex& index);
void ExpandNestedInserts(TDrawingModel& m, const TBlockIndex& index, std::size_t records);
void ExpandNestedInserts(TDrawingModel& m, const TBlockIndex& index, TWorkBudget& budget);

// How many records ExpandInserts and then ExpandBlocks will add to each drawing table, when
// they start with `budget` as it stands.
struct TCopyCounts {
  std::size_t lines = 0, circles = 0, arcs = 0, texts = 0, fills = 0, xlines = 0;
};
TCopyCounts CountExpansion(const TDrawingModel& m, const TBlockIndex& index);
TCopyCounts CountExpansion(const TDrawingModel& m, const TBlockIndex& index, TWorkBudget budget);

// The insert transform: P relative to the block base, scaled, turned counter-clockwise by
// the rotation and moved to the insertion point.
TAcadPoint InsertTransform(const TInsertBlk& insert, const TBlockBlk& block, TAcadPoint p);

}  // namespace tesmar
