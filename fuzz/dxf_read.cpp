// Arbitrary bytes as a DXF file: the probes and the reader must end with a status (and at most
// a message), never crash, hang or leak.
#include "fuzz/dxf_input.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  tesmar::TDrawingModel model;
  fuzz::ReadInput(data, size, model);
  return 0;
}
