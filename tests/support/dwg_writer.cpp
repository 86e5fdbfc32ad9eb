#include "tests/support/dwg_writer.h"

namespace tesmar::test {

RgbImage SamplePreview(int w, int h) {
  RgbImage img(w, h, kRgbWhite);
  for (int x = 0; x < w; ++x) img.At(x, 0) = img.At(x, h - 1) = kRgbBlack;
  for (int y = 0; y < h; ++y) img.At(0, y) = img.At(w - 1, y) = kRgbBlack;
  for (int i = 1; i < w - 1 && i < h - 1; ++i) img.At(i, i) = MakeRgb(255, 0, 0);
  img.At(w - 2, 1) = MakeRgb(0, 0, 255);  // marks the top-right: a flipped decode moves it
  return img;
}

std::string DwgWith(std::uint8_t code, std::string data, std::string version) {
  return MakeDwgFile(DwgWithImage(code, std::move(data), std::move(version)));
}

std::string WithPreviewAddress(std::string dwg, std::uint32_t address) {
  for (int i = 0; i < 4; ++i) dwg[0x0D + i] = char((address >> (8 * i)) & 0xFF);
  return dwg;
}

std::string Truncated(std::string dwg, std::size_t size) {
  dwg.resize(size);
  return dwg;
}

std::uint32_t SecondEntryStart(const std::string& dwg) {
  auto byte = [&](std::size_t i) { return std::uint32_t(static_cast<unsigned char>(dwg[i])); };
  std::uint32_t p = byte(0x0D) | byte(0x0E) << 8 | byte(0x0F) << 16 | byte(0x10) << 24;
  std::size_t at = p + 31;
  return byte(at) | byte(at + 1) << 8 | byte(at + 2) << 16 | byte(at + 3) << 24;
}

}  // namespace tesmar::test
