#pragma once
// The X display's real pointer and keys, driven by xdotool as a second process: what a user's
// hand does, where synthetic window messages would skip the window system's own handling.
#include <windows.h>

#include <string>

namespace tesmar::test {

// Starts xdotool with the given arguments (for example "mousemove 10 20 click 1") and returns
// at once, true when it started; the caller keeps pumping its messages until it sees the
// effect it waits for. Wine runs xdotool as a Unix process, which gives no handle to wait on.
bool StartRealPointer(const std::string& xdotoolArgs);

// "mousemove X Y sleep 0.2 click 1" for the centre of a window, in screen pixels; `repeat` 2
// is a double-click.
std::string ClickAtCentreOf(HWND window, int repeat = 1);

}  // namespace tesmar::test
