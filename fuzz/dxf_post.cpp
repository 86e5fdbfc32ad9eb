// Arbitrary bytes read as a DXF file and then put through the whole post-processing the viewer
// runs before drawing (decomposition, block expansion, extents, pens): no crash, hang or leak,
// whatever the reader let through. The work budget is smaller than a drawing's, so that an
// input that asks for endless copies or rows ends well within the run's per-input time limit
// (fuzz/run-dxf-post.sh passes -timeout); the budget must hold whatever the input asks.
#include "fuzz/dxf_input.h"
#include "render/postprocess.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  tesmar::TDrawingModel model;
  fuzz::ReadInput(data, size, model);
  tesmar::TWorkBudget budget(20000, 2000000);
  tesmar::RunPostProcessing(model, budget);
  return 0;
}
