#pragma once
// The post-processing that turns a freshly read drawing model into drawable tables: curve
// decomposition, block expansion, extents and pens, in the one order that the viewer, the
// command-line tool and the tests share.
#include <cstddef>
#include <string>

#include "base/json_writer.h"
#include "dxf/model.h"
#include "render/geometry.h"
#include "render/work_budget.h"

namespace tesmar {

// Runs the whole sequence on m and returns the drawing extents (lower-left and upper-right
// corner, z 0; all zeros when nothing counts). Source tables are emptied as they are consumed; a failure inside ExpandBlocks is
// swallowed. The block expansion and the hatch patterns share one work budget; when it runs
// out the drawing keeps what was made and `expansionCut` is set. `stop` is asked between the
// steps and often within them; when it says stop, TPostStopped is thrown and m is left half
// done.
TBox RunPostProcessing(TDrawingModel& m);
TBox RunPostProcessing(TDrawingModel& m, const TStopCheck& stop);
// The same under a budget of the caller's (its stop included).
TBox RunPostProcessing(TDrawingModel& m, TWorkBudget& budget);

// Figures of a post-processed model.
struct TPostFigures {
  std::size_t lines = 0;    // LineAry
  std::size_t circles = 0;  // CircleAry
  std::size_t arcs = 0;     // ArcAry
  std::size_t texts = 0;    // TextAry
  std::size_t drawable = 0; // records of those four tables with code60 and code67 both 0
  TBox extents;
  bool drawnInPart = false; // the work budget ran out (`expansionCut`)
  double post_ms = 0;       // time the sequence took
};

TPostFigures PostFigures(const TDrawingModel& m, const TBox& extents, double post_ms);

// Runs the sequence on m, timing it, and returns the figures.
TPostFigures RunPostProcessingTimed(TDrawingModel& m);

// The figures as one JSON object:
// {"LineAry": n, "CircleAry": n, "ArcAry": n, "TextAry": n, "drawable": n,
//  "extents": [min.x, min.y, max.x, max.y], "drawn_in_part": b, "post_ms": t}
void WritePostFigures(JsonWriter& out, const TPostFigures& f);
std::string PostFiguresJson(const TPostFigures& f);

}  // namespace tesmar
