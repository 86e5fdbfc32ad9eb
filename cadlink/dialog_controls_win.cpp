#include "cadlink/dialog_controls_win.h"

#include <stdexcept>
#include <string>

#include "base/strings.h"
#include "ui/display.h"

namespace tesmar {

HWND CreateDialogControl(const wchar_t* cls, DWORD style, DWORD exStyle, std::u16string_view text, HWND parent, int id,
                         int x, int y, int w, int h, int dpi, HFONT font) {
  HWND c = CreateWindowExW(exStyle, cls, ToWide(text).c_str(), WS_CHILD | WS_VISIBLE | style, ui::Scaled(x, dpi),
                           ui::Scaled(y, dpi), ui::Scaled(w, dpi), ui::Scaled(h, dpi), parent,
                           reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), GetModuleHandleW(nullptr), nullptr);
  if (!c) throw std::runtime_error("cannot create a control of a dialog");
  SendMessageW(c, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
  return c;
}

void InputMethodOff(HWND edit) {
  // imm32 is loaded when first needed; without it there is no input method to switch off.
  using GetContextFn = HANDLE(WINAPI*)(HWND);
  using SetOpenFn = BOOL(WINAPI*)(HANDLE, BOOL);
  using ReleaseFn = BOOL(WINAPI*)(HWND, HANDLE);
  static HMODULE imm = LoadLibraryW(L"imm32.dll");
  if (!imm) return;
  static auto get = reinterpret_cast<GetContextFn>(reinterpret_cast<void*>(GetProcAddress(imm, "ImmGetContext")));
  static auto open = reinterpret_cast<SetOpenFn>(reinterpret_cast<void*>(GetProcAddress(imm, "ImmSetOpenStatus")));
  static auto release = reinterpret_cast<ReleaseFn>(reinterpret_cast<void*>(GetProcAddress(imm, "ImmReleaseContext")));
  if (!get || !open || !release) return;
  if (HANDLE ctx = get(edit)) {
    open(ctx, FALSE);
    release(edit, ctx);
  }
}

}  // namespace tesmar
