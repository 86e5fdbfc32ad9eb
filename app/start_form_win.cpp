#include "app/start_form_win.h"

#include <stdexcept>

#include "base/strings.h"
#include "base/texts.h"
#include "ui/display.h"

namespace tesmar {
namespace {

HWND CreateLabel(HWND parent, std::u16string_view text, int x, int y, int w, int h) {
  HWND label = CreateWindowExW(0, L"Static", ToWide(text).c_str(), WS_CHILD | WS_VISIBLE | SS_LEFT, x, y, w, h,
                               parent, nullptr, GetModuleHandleW(nullptr), nullptr);
  if (!label) throw std::runtime_error("cannot create a label of the splash window");
  return label;
}

}  // namespace

void TMorvikStartForm::Create() {
  ui::FormDesign params;
  params.className = L"TMorvikStartForm";
  params.clientWidth = kClientWidth, params.clientHeight = kClientHeight;
  params.style = WS_POPUP;
  params.exStyle = WS_EX_TOOLWINDOW;
  CreateForm(params);
  auto s = [this](int v) { return ui::Scaled(v, dpi_); };
  font16_ = ui::CreateUiFont(16, dpi_);
  label1_ = CreateLabel(hwnd(), u"Label1", s(80), s(15), s(195), s(20));
  label2_ = CreateLabel(hwnd(), kLoadingText, s(80), s(40), s(195), s(20));
  for (HWND l : {label1_, label2_}) ui::Control(l).SetFont(font16_.get());
}

LRESULT TMorvikStartForm::HandleMessage(UINT msg, WPARAM wp, LPARAM lp) {
  if (msg == WM_PAINT) {
    ui::PaintDc paint(hwnd());
    RECT bar{ui::Scaled(16, dpi_), ui::Scaled(15, dpi_), ui::Scaled(16 + 17, dpi_), ui::Scaled(15 + 44, dpi_)};
    ui::Brush brush(CreateSolidBrush(kBarColour));
    FillRect(paint.get(), &bar, brush.get());
    return 0;
  }
  return Form::HandleMessage(msg, wp, lp);
}

}  // namespace tesmar
