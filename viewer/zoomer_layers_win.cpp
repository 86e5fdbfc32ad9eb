// The layer panel of the viewer: the items painted in their layers' colours, a click (or a
// key) that applies the check marks and makes the selected layer blink, and the colour switch.
#include <windows.h>

#include <cmath>

#include "render/colours.h"
#include "render/image_canvas_win.h"
#include "render/prepare_canvas.h"
#include "render/render_pass.h"
#include "ui/gdi.h"
#include "viewer/zoomer_form_win.h"

namespace tesmar {

int TMorvikZoomerForm::ItemMargin(std::int32_t scale) {
  if (scale <= 0) return 1;
  const int m = int(std::nearbyint(scale / 100.0));
  return m == 0 ? 1 : m;
}

void TMorvikZoomerForm::CheckListBox1DrawItem(HDC dc, int Index, const RECT& Rect) {
  const int m = ItemMargin(dispScale);
  Colour c = checkListBox1_.Colour(Index);
  if (c == kWhite) c = kBlack;
  ui::Brush brush(CreateSolidBrush(c));
  RECT fill{Rect.left - m, Rect.top + m, Rect.right - m, Rect.bottom - m};
  ::FillRect(dc, &fill, brush.get());
  SetTextColor(dc, ContrastColor(c));
  SetBkMode(dc, TRANSPARENT);
  ui::Selection font(dc, font_.get());
  const std::wstring text = ToWide(checkListBox1_.Item(Index));
  ::TextOutW(dc, Rect.left + 4, Rect.top + m, text.c_str(), int(text.size()));
}

void TMorvikZoomerForm::CheckListBox1Click() {
  mvflag = false;
  TDrawingModel& model = drawing_->model;
  for (int i = 0; i < checkListBox1_.Count(); ++i) SetLayerVisible(model, checkListBox1_.Item(i), checkListBox1_.Checked(i));
  const int selected = checkListBox1_.ItemIndex();
  if (selected < 0) return;
  const TView v = View();
  TRenderArgs blink = RenderArgsFor(v, g_CoSw, false, false);
  blink.selectedLayer = checkListBox1_.Item(selected);
  blink.penWidth = 5;
  // Each pass inverts the layer's pixels and is shown at once; the next pass inverts them back.
  auto pass = [&] {
    int drawn = 0;
    {
      ImagePass p(image1_);
      Canvas& c = p.canvas();
      c.SetPenMode(PenMode::Invert);
      c.SetPenStyle(psSolid);
      drawn = RenderDrawing(model, c, blink, drawing_->index.get());
    }
    if (drawn > 0) UpdateWindow(image1_.hwnd());
    return drawn;
  };
  int r = 0;
  for (int k = 0; k < 3; ++k) {
    r = pass();
    if (r <= 0) break;
    Sleep(100);
    pass();
    if (k < 2) Sleep(100);
  }
  {
    ImagePass p(image1_, /*repaintNow=*/r > 0);
    Canvas& c = p.canvas();
    c.SetPenWidth(1);
    c.SetPenMode(PenMode::Copy);
    if (r > 0) {
      PrepareCanvas(c, v.W, v.H, kBlack);
      RenderDrawing(model, c, RenderArgsFor(v, g_CoSw, false, false), drawing_->index.get());
    }
  }
}

void TMorvikZoomerForm::SpeedButton1Click() {
  g_CoSw = 1 - g_CoSw;
  mvflag = false;
  ImagePass p(image1_, /*repaintNow=*/true);
  const TView v = View();
  PrepareCanvas(p.canvas(), v.W, v.H, kBlack);
  RenderDrawing(drawing_->model, p.canvas(), RenderArgsFor(v, g_CoSw, false, false), drawing_->index.get());
}

}  // namespace tesmar
