#include "library/preview_fit.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>

namespace tesmar {

Rgb CornerBackground(const RgbImage& img) {
  if (img.Empty()) return kRgbBlack;
  const Rgb corners[4] = {img.At(0, 0), img.At(img.width - 1, 0), img.At(0, img.height - 1),
                          img.At(img.width - 1, img.height - 1)};
  int best = 0, bestCount = 0;
  for (int i = 0; i < 4; ++i) {
    int count = int(std::count(std::begin(corners), std::end(corners), corners[i]));
    if (count > bestCount) best = i, bestCount = count;
  }
  return corners[best];
}

void SwapBlackAndWhite(RgbImage& img) {
  for (Rgb& c : img.pixels) {
    if (c == kRgbBlack) c = kRgbWhite;
    else if (c == kRgbWhite) c = kRgbBlack;
  }
}

DrawnArea FindDrawnArea(const RgbImage& img, Rgb background) {
  const int W = img.width, H = img.height;
  DrawnArea a{W - 1, H - 1, 0, 0};
  bool found = false;
  for (int i = 0; i < H; ++i) {
    const Rgb* row = img.Row(i);
    for (int j = 0; j < W; ++j) {
      if (row[j] != background) {
        found = true;
        a.bottom = i;
        a.left = std::min(a.left, j);
        a.right = std::max(a.right, j);
        if (j == 0) a.left = 0;
        else if (j == W - 1) a.right = W - 1;
        if (i == 0) a.top = 0;
        else if (i == H - 1) a.bottom = H - 1;
      } else if (!found) {
        a.top = i;
      }
    }
  }
  return a;
}

PreviewPlacement PlacePreview(int W, int H, DrawnArea a, int w, int h, bool clip) {
  int left = a.left, top = a.top;
  int cw = W, ch = H;
  if (left > 0) --left;
  if (top > 0) --top;
  if (left < a.right) cw = a.right - left + 1;
  if (top < a.bottom) ch = a.bottom - top + 1;
  if (a.right - left <= 2 || a.bottom - top <= 2 || !clip) {
    cw = W, ch = H, left = 0, top = 0;
  }
  const double sx = w * 0.9 / cw, sy = h * 0.9 / ch;
  const double s = sx > sy ? sy : sx;
  PreviewPlacement p;
  p.dstWidth = int(std::trunc(cw * s));
  p.dstHeight = int(std::trunc(ch * s));
  if (left + cw + 1 > W) cw = W - left - 1;
  if (top + ch + 1 > H) ch = H - top - 1;
  p.srcLeft = left + 1;
  p.srcTop = top + 1;
  p.srcWidth = cw;
  p.srcHeight = ch;
  p.dstLeft = (w - p.dstWidth) / 2;
  p.dstTop = (h - p.dstHeight) / 2;
  return p;
}

void StretchKeepingLight(const RgbImage& src, int sx, int sy, int sw, int sh, RgbImage& dst,
                         int dx, int dy, int dw, int dh) {
  if (sw <= 0 || sh <= 0 || dw <= 0 || dh <= 0) return;
  for (int y = 0; y < dh; ++y) {
    const int ty = dy + y;
    if (ty < 0 || ty >= dst.height) continue;
    int y0 = int(std::int64_t(y) * sh / dh), y1 = int(std::int64_t(y + 1) * sh / dh);
    if (y1 <= y0) y1 = y0 + 1;
    Rgb* out = dst.Row(ty);
    for (int x = 0; x < dw; ++x) {
      const int tx = dx + x;
      if (tx < 0 || tx >= dst.width) continue;
      int x0 = int(std::int64_t(x) * sw / dw), x1 = int(std::int64_t(x + 1) * sw / dw);
      if (x1 <= x0) x1 = x0 + 1;
      Rgb c = 0;
      for (int yy = sy + y0; yy < sy + y1; ++yy) {
        if (yy < 0 || yy >= src.height) continue;
        const Rgb* in = src.Row(yy);
        for (int xx = sx + x0; xx < sx + x1; ++xx)
          if (xx >= 0 && xx < src.width) c |= in[xx];
      }
      out[tx] = c;
    }
  }
}

void FitPreviewIntoCell(RgbImage& preview, RgbImage& cell, bool clip) {
  if (preview.Empty() || cell.Empty()) return;
  Rgb background = CornerBackground(preview);
  if (background == kRgbWhite) {
    SwapBlackAndWhite(preview);
    background = kRgbBlack;
  }
  const DrawnArea area = FindDrawnArea(preview, background);
  const PreviewPlacement p = PlacePreview(preview.width, preview.height, area, cell.width, cell.height, clip);
  StretchKeepingLight(preview, p.srcLeft, p.srcTop, p.srcWidth, p.srcHeight, cell, p.dstLeft,
                      p.dstTop, p.dstWidth, p.dstHeight);
}

void DrawLine(RgbImage& img, int x0, int y0, int x1, int y1, Rgb colour) {
  const int dx = std::abs(x1 - x0), dy = -std::abs(y1 - y0);
  const int stepX = x0 < x1 ? 1 : -1, stepY = y0 < y1 ? 1 : -1;
  int err = dx + dy;
  while (x0 != x1 || y0 != y1) {
    if (img.Contains(x0, y0)) img.At(x0, y0) = colour;
    const int e2 = 2 * err;
    if (e2 >= dy) err += dy, x0 += stepX;
    if (e2 <= dx) err += dx, y0 += stepY;
  }
}

void DrawPlaceholderCross(RgbImage& cell) {
  const int d = cell.width / 8;
  DrawLine(cell, d, d, 2 * d, 2 * d, kAqua);
  DrawLine(cell, 2 * d, d, d, 2 * d, kAqua);
}

}  // namespace tesmar
