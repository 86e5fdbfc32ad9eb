#include "app/zoomer_form_win.h"

#include "ui/display.h"

namespace tesmar {

void TMorvikZoomerForm::Create(HWND owner) {
  ui::FormDesign params;
  params.className = L"TMorvikZoomerForm";
  params.caption = u"MorvikZoomer";
  params.clientWidth = kClientWidth, params.clientHeight = kClientHeight;
  params.style = WS_OVERLAPPEDWINDOW | WS_CLIPCHILDREN;
  params.owner = owner;
  CreateForm(params);
  font_ = ui::CreatePixelFont(u"Tahoma", 11, dpi_);
}

}  // namespace tesmar
