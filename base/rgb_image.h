#pragma once
// A plain raster of 24-bit colours, top-down, one 32-bit word per pixel holding 0x00RRGGBB
// (the memory order of a 32-bit top-down DIB: blue, green, red, unused). The high byte is
// always 0 so that pixels compare as colours.
#include <cstdint>
#include <vector>

namespace tesmar {

using Rgb = std::uint32_t;

constexpr Rgb MakeRgb(unsigned r, unsigned g, unsigned b) {
  return (Rgb(r & 0xFF) << 16) | (Rgb(g & 0xFF) << 8) | Rgb(b & 0xFF);
}
constexpr unsigned RedOf(Rgb c) { return (c >> 16) & 0xFF; }
constexpr unsigned GreenOf(Rgb c) { return (c >> 8) & 0xFF; }
constexpr unsigned BlueOf(Rgb c) { return c & 0xFF; }

constexpr Rgb kRgbBlack = MakeRgb(0, 0, 0);
constexpr Rgb kRgbWhite = MakeRgb(255, 255, 255);

struct RgbImage {
  int width = 0;
  int height = 0;
  std::vector<Rgb> pixels;  // width * height, row by row from the top

  RgbImage() = default;
  RgbImage(int w, int h, Rgb fill = kRgbBlack)
      : width(w < 0 ? 0 : w), height(h < 0 ? 0 : h),
        pixels(static_cast<std::size_t>(width) * static_cast<std::size_t>(height), fill) {}

  bool Empty() const { return width <= 0 || height <= 0; }
  bool Contains(int x, int y) const { return x >= 0 && y >= 0 && x < width && y < height; }
  Rgb At(int x, int y) const { return pixels[static_cast<std::size_t>(y) * width + x]; }
  Rgb& At(int x, int y) { return pixels[static_cast<std::size_t>(y) * width + x]; }
  const Rgb* Row(int y) const { return pixels.data() + static_cast<std::size_t>(y) * width; }
  Rgb* Row(int y) { return pixels.data() + static_cast<std::size_t>(y) * width; }
};

}  // namespace tesmar
