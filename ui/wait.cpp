#include "ui/wait.h"

namespace tesmar::ui {

WaitEnd WaitHandlingMessages(HANDLE handle, HWND owner, void (*everyRound)()) {
  for (;;) {
    const DWORD woke = MsgWaitForMultipleObjects(1, &handle, FALSE, INFINITE, QS_ALLINPUT);
    if (woke == WAIT_OBJECT_0) return WaitEnd::Signalled;
    if (woke == WAIT_FAILED) return WaitEnd::Failed;
    MSG msg;
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
      if (msg.message == WM_QUIT) {
        PostQuitMessage(static_cast<int>(msg.wParam));
        return WaitEnd::Quitting;
      }
      if (msg.message == WM_KEYDOWN && msg.wParam == VK_ESCAPE) return WaitEnd::Escape;
      TranslateMessage(&msg);
      DispatchMessageW(&msg);
      if (owner && !IsWindow(owner)) return WaitEnd::Quitting;
    }
    if (owner && !IsWindow(owner)) return WaitEnd::Quitting;
    if (everyRound) everyRound();
  }
}

}  // namespace tesmar::ui
