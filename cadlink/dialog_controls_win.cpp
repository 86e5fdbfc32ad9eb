#include "cadlink/dialog_controls_win.h"

namespace tesmar {

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
