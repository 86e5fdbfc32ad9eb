#include "ui/dialog_controls.h"

#include <stdexcept>
#include <string>

#include "base/strings.h"
#include "ui/display.h"

namespace tesmar::ui {

HWND CreateDialogControl(const wchar_t* cls, DWORD style, DWORD exStyle, std::u16string_view text, HWND parent, int id,
                         int x, int y, int w, int h, int dpi, HFONT font) {
  HWND c = CreateWindowExW(exStyle, cls, ToWide(text).c_str(), WS_CHILD | WS_VISIBLE | style, Scaled(x, dpi),
                           Scaled(y, dpi), Scaled(w, dpi), Scaled(h, dpi), parent,
                           reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), GetModuleHandleW(nullptr), nullptr);
  if (!c) throw std::runtime_error("cannot create a control of a dialog");
  SendMessageW(c, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
  return c;
}

}  // namespace tesmar::ui
