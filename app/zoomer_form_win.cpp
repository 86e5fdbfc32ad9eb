#include "app/zoomer_form_win.h"

#include "ui/display.h"

namespace tesmar {

void TMorvikZoomerForm::Create(HWND owner) {
  ui::FormSpec spec;
  spec.className = L"TMorvikZoomerForm";
  spec.caption = u"MorvikZoomer";
  spec.clientWidth = kClientWidth, spec.clientHeight = kClientHeight;
  spec.style = WS_OVERLAPPEDWINDOW | WS_CLIPCHILDREN;
  spec.owner = owner;
  CreateForm(spec);
  font_ = ui::CreatePixelFont(u"Tahoma", 11, dpi_);
}

}  // namespace tesmar
