#pragma once
// The Windows part of reading a DWG preview: the image bytes that dwg_preview.h yields are
// decoded with the platform's decoders (WIC, for BMP and PNG alike).
#include <string>
#include <string_view>

#include "base/rgb_image.h"

namespace tesmar {

// Decodes a whole BMP or PNG file into 24-bit colours. Raises SilentAbort when the bytes
// cannot be decoded or state an image too large to be a preview.
RgbImage DecodePreviewImage(std::string_view fileBytes);

// Fills `bitmap` with the preview stored in the DWG file `fileName` and returns true; returns
// false, leaving `bitmap` alone, for a file of release 13 or older or one whose second preview
// entry is neither BMP nor PNG. Every other failure raises SilentAbort.
bool LoadDwgThumbnail(const std::u16string& fileName, RgbImage& bitmap);

}  // namespace tesmar
