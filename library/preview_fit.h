#pragma once
// Fitting a DWG preview into a preview cell: the corner vote for the background, the
// black/white swap of previews on white paper, the search for the drawn area, the crop with
// one pixel of margin, the 90 % fit and the shrink that keeps light pixels over dark ones.
#include "base/rgb_image.h"

namespace tesmar {

constexpr Rgb kAqua = MakeRgb(0, 255, 255);

// The colour that most of the four corners share (top-left, top-right, bottom-left,
// bottom-right); on a tie the earlier corner wins.
Rgb CornerBackground(const RgbImage& image);

// Exact black becomes white and exact white black; other colours stay.
void SwapBlackAndWhite(RgbImage& image);

// Bounds of the pixels that differ from the background, found row by row from the top.
struct DrawnArea {
  int left = 0, top = 0, right = 0, bottom = 0;
};
DrawnArea FindDrawnArea(const RgbImage& image, Rgb background);

// Where the preview's source rectangle goes in a cell of cellW x cellH.
struct PreviewPlacement {
  int srcLeft = 0, srcTop = 0, srcWidth = 0, srcHeight = 0;
  int dstLeft = 0, dstTop = 0, dstWidth = 0, dstHeight = 0;
};
// `clip` crops to the drawn area (with one pixel of margin) before fitting; an area of fewer
// than three columns or rows, or clip off, fits the whole preview.
PreviewPlacement PlacePreview(int imageW, int imageH, DrawnArea area, int cellW, int cellH, bool clip);

// Stretches src's rectangle onto dst's rectangle. Where several source pixels fall on one
// target pixel their colours are OR-ed together, so a one-pixel light line on black stays
// visible however far the preview is shrunk; enlarging repeats pixels.
void StretchKeepingLight(const RgbImage& src, int sx, int sy, int sw, int sh, RgbImage& dst,
                         int dx, int dy, int dw, int dh);

// The whole fit: `preview` (any size, changed in place by the swap) drawn centred into
// `cell`, which the caller has filled black.
void FitPreviewIntoCell(RgbImage& preview, RgbImage& cell, bool clip);

// The placeholder of a drawing without a readable preview: a small aqua cross near the
// top-left corner, from (d, d) to (2d, 2d) and from (2d, d) to (d, 2d), d = width / 8.
void DrawPlaceholderCross(RgbImage& cell);

// A line as a pen draws it: from the first point up to, but not including, the last.
void DrawLine(RgbImage& image, int x0, int y0, int x1, int y1, Rgb colour);

}  // namespace tesmar
