#pragma once
// Test drawings: DWG files with a preview made by the project's own writer, and the broken
// shapes that damaged or foreign files take.
#include <cstdint>
#include <string>

#include "base/rgb_image.h"
#include "dwg/dwg_writer.h"

namespace tesmar::test {

// A small picture with a white background, a black frame and a red diagonal, whose every
// pixel position can be told from its colour in the tests that decode it.
RgbImage SamplePreview(int width, int height);

// A whole DWG file whose second directory entry is `code` with `data`.
std::string DwgWith(std::uint8_t code, std::string data, std::string version = "AC1015");

// The file with the preview address at 0x0D replaced.
std::string WithPreviewAddress(std::string dwg, std::uint32_t address);
// The file cut after `size` bytes.
std::string Truncated(std::string dwg, std::size_t size);
// The offset of the second entry's data in a file made by DwgWith.
std::uint32_t SecondEntryStart(const std::string& dwg);

}  // namespace tesmar::test
