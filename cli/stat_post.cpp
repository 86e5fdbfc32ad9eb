// The `post` member of `tesmar-tool stat`: runs the viewer's post-processing on the model
// that the read left and reports the drawable tables, the extents and the time it took.
#include "cli/stat.h"
#include "render/postprocess.h"

namespace tesmar::cli {
namespace {

void StatPost(TDrawingModel& model, JsonWriter& out) { WritePostFigures(out, RunPostProcessingTimed(model)); }

}  // namespace

TESMAR_STAT_MEMBER("post", StatPost);

}  // namespace tesmar::cli
