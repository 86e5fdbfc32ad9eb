#pragma once
// What the viewer's opening thread posts to the viewer window (wParam: the opening's serial),
// and what the window posts itself.
#include <windows.h>

namespace tesmar {

inline constexpr UINT kMsgDrawingOpened = WM_APP + 40;    // the result is ready
inline constexpr UINT kMsgOpeningProgress = WM_APP + 41;  // lParam: position (low word), maximum (high word)
inline constexpr UINT kMsgExactRedraw = WM_APP + 42;      // the exact picture after a wheel preview
                                                          // (wParam: the serial of its drawing)

}  // namespace tesmar
