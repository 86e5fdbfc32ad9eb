#pragma once
// A small writer of DWG files that carry a preview image, for the test and demo drawings the
// project makes itself. It writes the version string, the preview address at 0x0D, and a
// preview section (start sentinel, size, directory, header data, image, end sentinel); the
// drawing data proper is a stretch of filler, since nothing of this program reads it.
#include <cstdint>
#include <string>
#include <vector>

#include "base/rgb_image.h"

namespace tesmar {

// Device-independent bitmaps without a file header, as DWG files store them (bottom-up rows
// padded to four bytes, 40-byte information header).
// 8 bits: the palette holds the image's colours (at most 256; further colours fall back to
// the nearest entry). With fullTable the table has 256 entries, else only the used ones and
// biClrUsed says how many.
std::string MakeDib8(const RgbImage& image, bool fullTable = true);
std::string MakeDib24(const RgbImage& image);
// 32 bits with BI_BITFIELDS masks behind the header.
std::string MakeDib32Bitfields(const RgbImage& image);
// A PNG file (8-bit RGB, stored deflate blocks).
std::string MakePng(const RgbImage& image);

struct DwgPreviewEntry {
  std::uint8_t code = 0;  // 1 header data, 2 BMP, 3 WMF, 6 PNG
  std::string data;
};

struct DwgFileLayout {
  std::string version = "AC1015";  // written as the first six bytes
  std::vector<DwgPreviewEntry> entries;  // the directory in this order
  std::uint32_t previewAddress = 0;      // 0: right behind the file header
  std::size_t fillerBytes = 256;         // drawing data stand-in after the preview section
  std::string drawingData;               // written after the filler (see embedded_drawing.h)
};

// The usual shape: a header-data entry then the image entry.
DwgFileLayout DwgWithImage(std::uint8_t code, std::string data, std::string version = "AC1015");

std::string MakeDwgFile(const DwgFileLayout& layout);

}  // namespace tesmar
