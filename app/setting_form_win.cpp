#include "app/setting_form_win.h"

namespace tesmar {

void TMorvikSettingForm::Create(HWND owner) {
  ui::FormDesign params;
  params.className = L"TMorvikSettingForm";
  params.caption = u"挿入設定";
  params.clientWidth = kClientWidth, params.clientHeight = kClientHeight;
  params.style = WS_POPUP | WS_CAPTION | WS_SYSMENU | WS_CLIPCHILDREN;
  params.exStyle = WS_EX_DLGMODALFRAME | WS_EX_TOPMOST;
  params.owner = owner;
  CreateForm(params);
}

}  // namespace tesmar
