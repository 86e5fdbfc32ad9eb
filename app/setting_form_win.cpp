#include "app/setting_form_win.h"

namespace tesmar {

void TMorvikSettingForm::Create(HWND owner) {
  ui::FormSpec spec;
  spec.className = L"TMorvikSettingForm";
  spec.caption = u"挿入設定";
  spec.clientWidth = kClientWidth, spec.clientHeight = kClientHeight;
  spec.style = WS_POPUP | WS_CAPTION | WS_SYSMENU | WS_CLIPCHILDREN;
  spec.exStyle = WS_EX_DLGMODALFRAME | WS_EX_TOPMOST;
  spec.owner = owner;
  CreateForm(spec);
}

}  // namespace tesmar
