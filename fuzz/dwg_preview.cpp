// The preview reader over arbitrary bytes: every input either yields a result whose image
// lies inside the input, or ends in the silent abort. Nothing else may happen.
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "base/silent_abort.h"
#include "dwg/dwg_preview.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  std::string_view bytes(reinterpret_cast<const char*>(data), size);
  try {
    tesmar::DwgPreviewBytes r = tesmar::ReadDwgPreviewMemory(bytes);
    // The image can never be larger than the file (plus the 14-byte BMP file header).
    if (r.image.size() > size + 14) std::abort();
    if (r.format == tesmar::DwgPreviewFormat::Bmp) {
      if (r.image.size() < 14 + 40) std::abort();
      const auto* p = reinterpret_cast<const unsigned char*>(r.image.data());
      std::uint32_t offset = p[10] | p[11] << 8 | p[12] << 16 | std::uint32_t(p[13]) << 24;
      if (offset > r.image.size()) std::abort();
    }
    (void)tesmar::PreviewDimensions(r);
  } catch (const tesmar::SilentAbort&) {
  }
  return 0;
}
