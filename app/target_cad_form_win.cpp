#include "app/target_cad_form_win.h"

namespace tesmar {

void TTargetCADForm::Create(HWND owner) {
  ui::FormDesign params;
  params.className = L"TTargetCADForm";
  params.caption = u"ターゲット CAD";
  params.clientWidth = kClientWidth, params.clientHeight = kClientHeight;
  params.style = WS_POPUP | WS_CAPTION | WS_SYSMENU | WS_CLIPCHILDREN;
  params.exStyle = WS_EX_DLGMODALFRAME;
  params.owner = owner;
  CreateForm(params);
}

}  // namespace tesmar
