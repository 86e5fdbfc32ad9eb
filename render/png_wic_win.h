#pragma once
// PNG files written with the platform's imaging component (WIC).
#include <filesystem>
#include <string>

#include "base/rgb_image.h"

namespace tesmar {

// The image as the bytes of a 24-bit PNG file. Throws std::runtime_error when WIC fails.
std::string EncodePngWic(const RgbImage& image);

// Writes EncodePngWic(image) to `path`; throws std::runtime_error when the file cannot be
// written.
void WritePngWic(const std::filesystem::path& path, const RgbImage& image);

}  // namespace tesmar
