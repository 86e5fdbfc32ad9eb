// Arbitrary bytes read as a DXF file and then put through the whole post-processing the viewer
// runs before drawing (decomposition, block expansion, extents, pens): no crash, hang or leak,
// whatever the reader let through.
#include "fuzz/dxf_input.h"
#include "render/postprocess.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  tesmar::TDrawingModel model;
  fuzz::ReadInput(data, size, model);
  tesmar::RunPostProcessing(model);
  return 0;
}
