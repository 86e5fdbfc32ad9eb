// Zoom and pan in the viewer: the wheel, the drag gestures with their rubber band and pan
// preview, the crosshair with the coordinates, the resize, and the keys. A gesture first shows
// the last exact picture moved or scaled, at once; the exact picture follows at the release,
// or after the wheel notches that wait in the queue.
#include <windows.h>

#include <algorithm>
#include <utility>

#include "render/image_canvas_win.h"
#include "render/offscreen_win.h"
#include "viewer/zoomer_form_win.h"
#include "viewer/zoomer_messages_win.h"

namespace tesmar {
namespace {

constexpr Colour kCrosshairGreen = 0x008000;

void SetCrosshairPen(Canvas& c) {
  c.SetPenMode(PenMode::Xor);
  c.SetPenColour(kCrosshairGreen);
  c.SetPenStyle(psSolid);
  c.SetPenWidth(1);
}

void SetPlainPen(Canvas& c) {
  c.SetPenMode(PenMode::Copy);
  c.SetPenColour(kWhite);
  c.SetPenStyle(psSolid);
}

}  // namespace

const char16_t* TMorvikZoomerForm::KeysHelp() {
  return u"Esc: 読み込み・操作の中止\r\n+ / -: 拡大 / 縮小\r\nHome: 全体表示\r\nBackspace: 前の表示\r\n"
         u"Shift+クリック: 計測";
}

bool TMorvikZoomerForm::ShowPreview(const TView& v) {
  if (!lastRaster_) return false;
  TView shown = v;
  shown.W = std::max(1, shown.W), shown.H = std::max(1, shown.H);
  if (!preview_ || preview_->Width() != shown.W || preview_->Height() != shown.H)
    preview_ = std::make_unique<TRaster8>(shown.W, shown.H);
  if (!PreviewRaster(*preview_, *lastRaster_, lastView_, shown)) return false;
  ShowPicture(*preview_);
  return true;
}

void TMorvikZoomerForm::ZoomAbout(TPixel pixel, bool towardsUser) {
  TView v = View();
  if (!WheelZoom(v, saved, pixel, towardsUser, drawing_->extents)) return;
  g_cadw = v.g_cadw, g_cadh = v.g_cadh, g_cadpt = v.g_cadpt;
  if (g_WheelNow) return;
  if (ShowPreview(View())) {
    // The exact picture comes once the notches already waiting have been taken.
    if (!redrawDue_) redrawDue_ = PostMessageW(hwnd(), kMsgExactRedraw, drawingSerial_, 0) != FALSE;
    if (redrawDue_) return;
  }
  RedrawAfterWheel();
}

void TMorvikZoomerForm::RedrawAfterWheel() {
  // Notches that arrived meanwhile, as long as they come next, only move the preview.
  MSG msg;
  while (PeekMessageW(&msg, nullptr, 0, 0, PM_NOREMOVE) && msg.message == WM_MOUSEWHEEL &&
         PeekMessageW(&msg, msg.hwnd, WM_MOUSEWHEEL, WM_MOUSEWHEEL, PM_REMOVE)) {
    TranslateMessage(&msg);
    DispatchMessageW(&msg);
  }
  g_WheelNow = true;
  try {
    OffscreenRedraw(false, false);
  } catch (...) {
    g_WheelNow = false;
    throw;
  }
  g_WheelNow = false;
}

void TMorvikZoomerForm::FormMouseWheel(POINT screen, bool down, bool& handled) {
  mvflag = false;
  POINT p = screen;
  ScreenToClient(image1_.hwnd(), &p);
  if (!OnImage(View(), TPixel{p.x, p.y})) {
    handled = false;
    return;
  }
  handled = true;
  ZoomAbout(TPixel{p.x, p.y}, down);
  // The pointer has not moved, but what lies under it has.
  if (g_cadw != 0 && !Caption().empty()) Edit1().SetText(MoveStatus(View(), TPixel{p.x, p.y}));
}

void TMorvikZoomerForm::DrawRubberBand(Canvas& c, POINT a, POINT b) {
  c.SetPenStyle(psDashDotDot);
  c.SetPenMode(PenMode::NotXor);
  c.SetPenWidth(3);
  c.SetPenColour(kBlack);
  c.SetBrushStyle(BrushStyle::Clear);
  c.Rectangle(a.x, a.y, b.x, b.y);
  c.SetPenMode(PenMode::Copy);
}

void TMorvikZoomerForm::DrawCrosshair(Canvas& c, int x, int y) {
  const int W = image1_.Width(), H = image1_.Height();
  c.MoveTo(0, y - 1);
  c.LineTo(W, y - 1);
  c.MoveTo(x - 1, 0);
  c.LineTo(x - 1, H);
}

void TMorvikZoomerForm::Image1MouseDown(TMouseButton button, bool shift, int X, int Y) {
  if (Caption().empty()) return;
  mvret1 = mvret2 = mvret3 = mvret4 = mvret5 = -1;
  if (shift) {
    PickPress(X, Y);
    return;
  }
  dragAbandoned_ = false;
  g_DownPt = g_OldPt = POINT{X, Y};
  if (button == TMouseButton::Middle) {
    g_PanFlag = true;
    return;
  }
  g_ZoomFlag = true;
  ImagePass pass(image1_);
  DrawRubberBand(pass.canvas(), g_DownPt, POINT{X, Y});
}

void TMorvikZoomerForm::Image1MouseMove(bool shift, int X, int Y) {
  if (Caption().empty()) {
    Edit1().SetText(u"");
    return;
  }
  bool panPreview = false;
  {
    ImagePass pass(image1_);
    Canvas& c = pass.canvas();
    SetCrosshairPen(c);
    if (mvflag) DrawCrosshair(c, mvx, mvy);
    DrawCrosshair(c, X, Y);
    c.SetPenColour(kWhite);
    c.SetPenStyle(psSolid);
    mvx = X, mvy = Y;
    mvflag = true;
    if (shift || g_cadw == 0) return;
    Edit1().SetText(MoveStatus(View(), TPixel{X, Y}));
    if (g_ZoomFlag && X != g_OldPt.x && Y != g_OldPt.y) {
      DrawRubberBand(c, g_DownPt, g_OldPt);
      DrawRubberBand(c, g_DownPt, POINT{X, Y});
      g_OldPt = POINT{X, Y};
    } else {
      panPreview = g_PanFlag && X != g_OldPt.x && Y != g_OldPt.y && !g_PanNow;
    }
  }
  if (!panPreview) return;
  g_PanNow = true;
  const TView v = View();
  TView preview = v;
  preview.g_cadpt = PanPreviewCentre(v, TPixel{g_OldPt.x, g_OldPt.y}, TPixel{X, Y});
  preview.W = std::max(1, preview.W), preview.H = std::max(1, preview.H);
  try {
    // The last picture moved with the pointer; without one, the fast pass draws it.
    if (!ShowPreview(preview))
      ShowPicture(*tesmar::OffscreenRedraw(drawing_->model, preview, g_CoSw, false, true, drawing_->index.get()));
    // The crosshair stays on the new picture, where the next move erases it.
    ImagePass pass(image1_);
    SetCrosshairPen(pass.canvas());
    DrawCrosshair(pass.canvas(), X, Y);
    SetPlainPen(pass.canvas());
  } catch (...) {
    g_PanNow = false;
    throw;
  }
  g_PanNow = false;
}

void TMorvikZoomerForm::ApplyViewGesture(TGesture g, TPixel down, TPixel up) {
  TView v = View();
  const bool drawAll = ApplyGesture(g, v, saved, down, up, drawing_->extents);
  g_cadw = v.g_cadw, g_cadh = v.g_cadh, g_cadpt = v.g_cadpt;
  OffscreenRedraw(drawAll, false);
  Edit1().SetText(ViewSizeStatus(View()));
}

void TMorvikZoomerForm::Image1MouseUp(TMouseButton button, bool shift, int X, int Y) {
  if (Caption().empty()) return;
  if (shift) {
    PickRelease();
    return;
  }
  mvflag = g_ZoomFlag = g_PanFlag = false;
  // A release whose drag Esc took back ends nothing.
  if (std::exchange(dragAbandoned_, false)) return;
  const TGesture g = ClassifyRelease(button == TMouseButton::Middle, X - g_DownPt.x, Y - g_DownPt.y);
  ApplyViewGesture(g, TPixel{g_DownPt.x, g_DownPt.y}, TPixel{X, Y});
}

void TMorvikZoomerForm::AbandonDrag() {
  mvflag = g_ZoomFlag = g_PanFlag = false;
  dragAbandoned_ = true;
  OffscreenRedraw(false, false);
}

void TMorvikZoomerForm::FormResize() {
  mvflag = false;
  OffscreenRedraw(false, false);
}

void TMorvikZoomerForm::Splitter1Moved() { FormResize(); }

bool TMorvikZoomerForm::FormKeyDown(WORD key) {
  const TPixel centre = View().Origin();
  switch (key) {
    case VK_ESCAPE:
      if (Opening()) {
        CancelOpening();
        Edit1().SetText(kOpeningStoppedStatus);
      } else if (g_ZoomFlag || g_PanFlag) {
        AbandonDrag();
      }
      return true;
    case VK_ADD:
    case VK_OEM_PLUS:
    case VK_SUBTRACT:
    case VK_OEM_MINUS:
      mvflag = false;
      ZoomAbout(centre, key == VK_SUBTRACT || key == VK_OEM_MINUS);
      Edit1().SetText(ViewSizeStatus(View()));
      return true;
    case VK_HOME:
      mvflag = false;
      ApplyViewGesture(TGesture::ZoomExtents, centre, centre);
      return true;
    case VK_BACK:
      mvflag = false;
      ApplyViewGesture(TGesture::PreviousView, centre, centre);
      return true;
    default:
      return false;
  }
}

}  // namespace tesmar
