#pragma once
// Running the outside converter for one drawing and waiting for it while the program's
// windows stay responsive.
#include <windows.h>

#include <string_view>

namespace tesmar {

// Starts `exepath` through the shell (ShellExecuteEx, owner window `owner`) with the seven
// arguments for converting `DwgPath` into `outFolder`, and waits until it ends, letting window
// messages through, with the hourglass pointer. The converter's window is shown when
// `showRequested` is set or a folder is a drive's root. A start that fails shows "起動に失敗
// しました．" titled "エラー" and gives false; otherwise the result is true whatever the
// converter's exit code. The wait also ends when the program is quitting (the converter
// then keeps running on its own).
bool DwgToDxf(HWND owner, std::u16string_view exepath, std::u16string_view DwgPath, std::u16string_view outFolder,
              bool showRequested);

}  // namespace tesmar
