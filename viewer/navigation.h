#pragma once
// How the viewer's view changes under the mouse: the wheel zoom about the cursor, the five
// drag gestures told apart by the direction and length of the drag, the pan and its preview,
// and the texts of the status field. The view is the centre, width and height in drawing
// units with the share of the image it fills; the previous view is the one that the wheel,
// zoom window, zoom to extents and zoom out leave behind.
#include <string>

#include "dxf/model.h"
#include "render/geometry.h"
#include "render/view.h"

namespace tesmar {

// The view as it was before the last zoom step.
struct TSavedView {
  TAcadPoint g_CadPtOld;
  double g_CadWOld = 0;
  double g_CadHOld = 0;
};

void SaveView(const TView& v, TSavedView& saved);

// How far the view may zoom: its larger side stays between a millionth and a million times the
// larger side of the extents, and every figure of it finite.
inline constexpr double kZoomRange = 1e6;
bool ViewSizeAllowed(double width, double height, const TBox& extents);

// One wheel notch with the cursor at pixel `cursor` of the image: towards the user (down)
// doubles the view, away from the user (up) halves it; the world point under the cursor stays
// under it. The view before the step is saved. A step that would leave the allowed sizes (or a
// drawing without size) changes nothing and returns false.
bool WheelZoom(TView& v, TSavedView& saved, TPixel cursor, bool towardsUser, const TBox& extents);

// True when a pixel lies on the image (0 <= x < W, 0 <= y < H).
bool OnImage(const TView& v, TPixel p);

enum class TGesture { Pan, ZoomWindow, ZoomExtents, ZoomOut, Recentre, PreviousView };

// The gesture that a release ends: the middle button pans; a left or right drag of more than
// 10 pixels right and down zooms to the dragged window, right and up zooms to the extents, left
// and up zooms out, left and down goes back to the previous view; anything else recentres.
TGesture ClassifyRelease(bool middleButton, int dx, int dy);

// Applies the gesture released at `up` after a press at `down` (both image pixels, taken under
// the view as it stood before the release). Returns true when the redraw must draw all
// records (zoom to extents). A zoom window smaller than the allowed sizes is widened about its
// centre to the smallest; a zoom out beyond the largest changes nothing.
bool ApplyGesture(TGesture g, TView& v, TSavedView& saved, TPixel down, TPixel up, const TBox& extents);

// The centre that the pan preview shows while the middle button, pressed at `pressed`, is at
// `now`; the view itself does not change until the release.
TAcadPoint PanPreviewCentre(const TView& v, TPixel pressed, TPixel now);

// The view fitted to the drawing extents.
void FitView(TView& v, const TBox& extents);

// A number with `decimals` places ("%.*f"); from 1e12 on, in size, in the short exponent form
// ("%.6g") so that a caption or status stays readable.
std::u16string ReadableNumber(double v, int decimals);

// Status texts, their numbers as ReadableNumber gives them.
// While the mouse moves: "W= %.2f , H= %.2f - X= %.2f , Y= %.2f", the visible width and
// height and the drawing coordinates under the pointer.
std::u16string MoveStatus(const TView& v, TPixel p);
// After a gesture: "W= %.2f , H= %.2f".
std::u16string ViewSizeStatus(const TView& v);
// After opening: "dX=%.2f, dY=%.2f (%.2fsec)".
std::u16string OpenStatus(double width, double height, double seconds);
// The caption after opening: the file name and " ( %.0f x %.0f )".
std::u16string OpenedCaption(std::u16string_view fileName, double width, double height);

// The elapsed seconds between two millisecond tick counts, across the counter's wrap.
double ElapsedSeconds(std::uint32_t startTicks, std::uint32_t nowTicks);

}  // namespace tesmar
