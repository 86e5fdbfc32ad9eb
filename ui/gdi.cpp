#include "ui/gdi.h"

#include <vector>

#include "base/strings.h"

namespace tesmar::ui {

DibBitmap::DibBitmap(int width, int height, int bitsPerPixel, const RGBQUAD* colours, int colourCount)
    : width_(width), height_(height), bpp_(bitsPerPixel) {
  if (width <= 0 || height <= 0) throw std::invalid_argument("bitmap size must be positive");
  if (bpp_ != 8 && bpp_ != 24 && bpp_ != 32) throw std::invalid_argument("unsupported bits per pixel");
  std::vector<unsigned char> info(sizeof(BITMAPINFOHEADER) + 256 * sizeof(RGBQUAD));
  auto* bi = reinterpret_cast<BITMAPINFO*>(info.data());
  bi->bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
  bi->bmiHeader.biWidth = width;
  bi->bmiHeader.biHeight = -height;  // top-down rows
  bi->bmiHeader.biPlanes = 1;
  bi->bmiHeader.biBitCount = static_cast<WORD>(bpp_);
  bi->bmiHeader.biCompression = BI_RGB;
  if (bpp_ == 8) {
    // Without a colour table of the caller's, the platform's halftone palette: drawing in any
    // colour then lands on a near colour rather than on a grey.
    PALETTEENTRY halftone[256] = {};
    if (!colours) {
      WindowDc screen(nullptr);
      Palette palette(CreateHalftonePalette(screen.get()));
      if (palette) GetPaletteEntries(palette.get(), 0, 256, halftone);
    }
    for (int i = 0; i < 256; ++i) {
      const PALETTEENTRY& e = halftone[i];
      bi->bmiColors[i] = colours ? (i < colourCount ? colours[i] : RGBQUAD{}) : RGBQUAD{e.peBlue, e.peGreen, e.peRed, 0};
    }
    bi->bmiHeader.biClrUsed = 256;
  }
  void* bits = nullptr;
  bitmap_.Reset(CreateDIBSection(dc_.get(), bi, DIB_RGB_COLORS, &bits, nullptr, 0));
  if (!bitmap_ || !bits) throw std::runtime_error("CreateDIBSection failed");
  bits_ = static_cast<unsigned char*>(bits);
  stride_ = ((width * bpp_ + 31) / 32) * 4;
  oldBitmap_ = SelectObject(dc_.get(), bitmap_.get());
}

DibBitmap::~DibBitmap() { SelectObject(dc_.get(), oldBitmap_); }

HBITMAP DibBitmap::Release() {
  SelectObject(dc_.get(), oldBitmap_);
  bits_ = nullptr;
  return bitmap_.Release();
}

COLORREF DibBitmap::Pixel(int x, int y) const {
  const unsigned char* row = Row(y);
  if (bpp_ == 8) {
    RGBQUAD q{};
    GetDIBColorTable(dc_.get(), row[x], 1, &q);
    return RGB(q.rgbRed, q.rgbGreen, q.rgbBlue);
  }
  const unsigned char* p = row + x * (bpp_ / 8);
  return RGB(p[2], p[1], p[0]);
}

int TextWidth(HFONT font, std::u16string_view text) {
  WindowDc dc(nullptr);
  Selection selected(dc.get(), font);
  SIZE size{};
  const std::wstring w = ToWide(text);
  GetTextExtentPoint32W(dc.get(), w.c_str(), static_cast<int>(w.size()), &size);
  return size.cx;
}

}  // namespace tesmar::ui
