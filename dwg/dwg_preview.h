#pragma once
// The byte part of reading the preview image stored in a DWG file of release 14 or later.
// Only the version digits (bytes 2..5), the preview address at 0x0D and the second entry of
// the preview directory are read, then the image data that entry points at; nothing else of
// the file is looked at (the sentinels are not compared).
#include <cstdint>
#include <filesystem>
#include <string>
#include <string_view>

namespace tesmar {

enum class DwgPreviewFormat { None, Bmp, Png };

struct DwgPreviewBytes {
  int version = 0;            // the version digits as a number (1015 for AC1015), 0 when not one
  std::uint8_t code = 0;      // code of the second directory entry, 0 when not reached
  DwgPreviewFormat format = DwgPreviewFormat::None;
  std::string image;          // a whole BMP file (file header put in front) or a whole PNG file
};

// Random access to the bytes of a file or of a buffer. ReadAt raises SilentAbort when the
// range is not wholly inside the source.
class DwgByteSource {
 public:
  virtual ~DwgByteSource() = default;
  virtual std::uint64_t Size() const = 0;
  virtual void ReadAt(std::uint64_t pos, void* out, std::size_t n) = 0;
};

// Reads the preview. Format None means "no image": a release 13 or older file (version not
// above 1012, or not a number), or a second directory entry that is neither BMP (code 2) nor
// PNG (code 6). Any other failure raises SilentAbort: a read that falls short (file too
// short, address past the end), image data that lies beyond the end of the file, or a bitmap
// information header that cannot describe the data. Never allocates more than the file holds.
DwgPreviewBytes ReadDwgPreview(DwgByteSource& source);
DwgPreviewBytes ReadDwgPreviewFile(const std::filesystem::path& file);  // unopenable: SilentAbort
DwgPreviewBytes ReadDwgPreviewMemory(std::string_view bytes);

// The offset of the pixel rows in a BMP file made of a 14-byte file header and the given
// device-independent bitmap (information header, optional bit-field masks, colour table,
// pixels), worked out from the information header. Raises SilentAbort when the header is not
// one of the known sizes or the offset falls outside the data.
std::uint32_t BmpPixelDataOffset(std::string_view dib);

// The version digits of bytes 2..5: ASCII up to the first zero byte, read as a decimal
// number (an optional sign, then digits only); 0 when that fails.
int ParseDwgVersionDigits(std::string_view four);

// Width and height stated in a BMP or PNG file made by ReadDwgPreview (0 x 0 when the bytes
// are too short to say). Used to report a preview without decoding it.
struct ImageDimensions {
  std::int32_t width = 0;
  std::int32_t height = 0;
  int bitCount = 0;  // BMP only
};
ImageDimensions PreviewDimensions(const DwgPreviewBytes& preview);

}  // namespace tesmar
