#pragma once
// Waiting for an outside program while the program's windows stay responsive: the thread
// sleeps until the handle is signalled or a message arrives, and each message is handled as
// the message loop handles it.
#include <windows.h>

namespace tesmar::ui {

enum class WaitEnd {
  Signalled,  // the handle was signalled (the program ended)
  Escape,     // the user pressed Esc in a window of this thread
  Quitting,   // the program is ending: WM_QUIT arrived (put back for its loop) or `owner` is gone
  Failed,     // the system could not wait on the handle: whether it was signalled is not known
};

// Waits for `handle` with no time limit, handling window messages meanwhile. `everyRound`,
// when given, runs after each round of messages (to set the hourglass again, for example).
WaitEnd WaitHandlingMessages(HANDLE handle, HWND owner, void (*everyRound)() = nullptr);

}  // namespace tesmar::ui
