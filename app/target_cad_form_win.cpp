#include "app/target_cad_form_win.h"

namespace tesmar {

void TTargetCADForm::Create(HWND owner) {
  ui::FormSpec spec;
  spec.className = L"TTargetCADForm";
  spec.caption = u"ターゲット CAD";
  spec.clientWidth = kClientWidth, spec.clientHeight = kClientHeight;
  spec.style = WS_POPUP | WS_CAPTION | WS_SYSMENU | WS_CLIPCHILDREN;
  spec.exStyle = WS_EX_DLGMODALFRAME;
  spec.owner = owner;
  CreateForm(spec);
}

}  // namespace tesmar
