#pragma once
// The view transform between world and pixel coordinates. A view is a world rectangle (centre,
// width, height) shown in an image of W x H pixels, filling the share `g_DispScale` of it;
// world y grows upwards, pixel y downwards. Pixel values are the nearest integers, halves going
// to the even neighbour.
#include <cstdint>

#include "dxf/model.h"
#include "render/geometry.h"

namespace tesmar {

struct TPixel {
  std::int32_t x = 0;
  std::int32_t y = 0;
  bool operator==(const TPixel&) const = default;
};

struct TView {
  TAcadPoint g_cadpt;       // world point at the centre of the image (z unused)
  double g_cadw = 0;        // world width of the view
  double g_cadh = 0;        // world height of the view
  double g_DispScale = 1;   // share of the image the view fills (below 1 leaves a margin)
  int W = 0;                // image size in pixels
  int H = 0;
  TPixel Origin() const { return {W / 2, H / 2}; }
};

// The integer nearest to v, halves to the even neighbour; values beyond the 32-bit range
// saturate at its ends (callers that may meet them clip first).
std::int32_t NearestInt(double v);

// The world length of one pixel: the view fits the image in its tighter direction; 1 when the
// view width or height is not positive; then divided by the display scale.
double PixelSize(double width, double height, int W, int H, double dispScale);
double PixelSize(const TView& v);

// Lower-left and upper-right corner of the world area the image shows.
TBox ViewRect(TAcadPoint centre, double s, int W, int H);
TBox ViewRect(const TView& v);

// p is relative to the view centre.
TPixel WorldToScreen(TAcadPoint p, double s, TPixel origin);

// The world point (z 0) at pixel `px`; (0, 0, 0) when neither width nor height is positive.
TAcadPoint ScreenToWorld(TPixel px, TAcadPoint centre, double width, double height, int H, int W, double dispScale);
TAcadPoint ScreenToWorld(TPixel px, const TView& v);

// True when p lies inside r or on its border.
bool PointInBox(TAcadPoint p, const TBox& r);

}  // namespace tesmar
