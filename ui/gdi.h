#pragma once
// RAII for GDI handles. Each type owns one handle kind, deletes its copy operations,
// and keeps every handle its destructor needs.
#include <windows.h>

#include <stdexcept>
#include <string_view>
#include <utility>

namespace tesmar::ui {

// A pen, brush, font, bitmap or palette; DeleteObject at the end. Movable, not copyable.
template <class H>
class GdiObject {
 public:
  GdiObject() = default;
  explicit GdiObject(H h) : h_(h) {}
  ~GdiObject() { Reset(); }
  GdiObject(const GdiObject&) = delete;
  GdiObject& operator=(const GdiObject&) = delete;
  GdiObject(GdiObject&& o) noexcept : h_(std::exchange(o.h_, nullptr)) {}
  GdiObject& operator=(GdiObject&& o) noexcept {
    if (this != &o) Reset(std::exchange(o.h_, nullptr));
    return *this;
  }
  void Reset(H h = nullptr) {
    if (h_) DeleteObject(h_);
    h_ = h;
  }
  H get() const { return h_; }
  // Hands the handle over to the caller, who deletes it.
  H Release() { return std::exchange(h_, nullptr); }
  explicit operator bool() const { return h_ != nullptr; }

 private:
  H h_ = nullptr;
};
using Pen = GdiObject<HPEN>;
using Brush = GdiObject<HBRUSH>;
using Font = GdiObject<HFONT>;
using Bitmap = GdiObject<HBITMAP>;
using Palette = GdiObject<HPALETTE>;

// Selects an object into a DC for one scope and selects the previous one back.
class Selection {
 public:
  Selection(HDC dc, HGDIOBJ obj) : dc_(dc), old_(SelectObject(dc, obj)) {}
  ~Selection() { SelectObject(dc_, old_); }
  Selection(const Selection&) = delete;
  Selection& operator=(const Selection&) = delete;

 private:
  HDC dc_;
  HGDIOBJ old_;
};

// GetDC / ReleaseDC (nullptr: the screen).
class WindowDc {
 public:
  explicit WindowDc(HWND hwnd) : hwnd_(hwnd), dc_(GetDC(hwnd)) {
    if (!dc_) throw std::runtime_error("GetDC failed");
  }
  ~WindowDc() { ReleaseDC(hwnd_, dc_); }
  WindowDc(const WindowDc&) = delete;
  WindowDc& operator=(const WindowDc&) = delete;
  HDC get() const { return dc_; }

 private:
  HWND hwnd_;
  HDC dc_;
};

// The width in pixels of a one-line text drawn in the font.
int TextWidth(HFONT font, std::u16string_view text);

// BeginPaint / EndPaint.
class PaintDc {
 public:
  explicit PaintDc(HWND hwnd) : hwnd_(hwnd) { dc_ = BeginPaint(hwnd, &ps_); }
  ~PaintDc() { EndPaint(hwnd_, &ps_); }
  PaintDc(const PaintDc&) = delete;
  PaintDc& operator=(const PaintDc&) = delete;
  HDC get() const { return dc_; }
  const RECT& Dirty() const { return ps_.rcPaint; }

 private:
  HWND hwnd_;
  PAINTSTRUCT ps_{};
  HDC dc_ = nullptr;
};

// CreateCompatibleDC / DeleteDC.
class MemoryDc {
 public:
  explicit MemoryDc(HDC like = nullptr) : dc_(CreateCompatibleDC(like)) {
    if (!dc_) throw std::runtime_error("CreateCompatibleDC failed");
  }
  ~MemoryDc() { DeleteDC(dc_); }
  MemoryDc(const MemoryDc&) = delete;
  MemoryDc& operator=(const MemoryDc&) = delete;
  HDC get() const { return dc_; }

 private:
  HDC dc_;
};

// A device-independent bitmap of 8, 24 or 32 bits per pixel with direct pixel access, kept
// selected into its own memory DC. Rows run top-down; each row is Stride() bytes. An 8-bit
// bitmap gets a colour table: the given one, else the platform's halftone palette.
class DibBitmap {
 public:
  DibBitmap(int width, int height, int bitsPerPixel = 24, const RGBQUAD* colours = nullptr, int colourCount = 0);
  ~DibBitmap();
  DibBitmap(const DibBitmap&) = delete;
  DibBitmap& operator=(const DibBitmap&) = delete;

  int Width() const { return width_; }
  int Height() const { return height_; }
  int BitsPerPixel() const { return bpp_; }
  int Stride() const { return stride_; }
  unsigned char* Bits() const { return bits_; }
  unsigned char* Row(int y) const { return bits_ + static_cast<size_t>(y) * stride_; }
  HDC Dc() const { return dc_.get(); }
  HBITMAP Handle() const { return bitmap_.get(); }
  // The colour of a pixel as 0x00BBGGRR (through the colour table for 8 bits).
  COLORREF Pixel(int x, int y) const;
  // Hands the bitmap over to the caller, who deletes it; the pixels are then no longer
  // reachable through this object.
  HBITMAP Release();

 private:
  int width_, height_, bpp_, stride_ = 0;
  unsigned char* bits_ = nullptr;
  MemoryDc dc_;
  Bitmap bitmap_;
  HGDIOBJ oldBitmap_ = nullptr;
};

}  // namespace tesmar::ui
