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
// しました．" titled "エラー" and gives StartFailed; a converter that ends on its own gives
// Ended, whatever its exit code.
//
// The wait sleeps until the converter ends or a message arrives (no polling). Esc pressed in a
// window of the program ends the wait and the converter: Cancelled. When the program quits
// meanwhile or the owner window is destroyed (the main window was closed), the converter is
// ended too and the wait gives Quitting at once, so that the caller touches no window. A
// converter that is ended leaves its partial output to the caller to delete. A wait that the
// system refuses (the converter's handle cannot be waited on) does not count as its end: the
// converter is ended and the result is WaitFailed.
enum class ConversionEnd { StartFailed, Ended, Cancelled, Quitting, WaitFailed };

// `exitCode`, when given, takes the converter's exit code when it Ended.
ConversionEnd DwgToDxf(HWND owner, std::u16string_view exepath, std::u16string_view DwgPath,
                       std::u16string_view outFolder, bool showRequested, DWORD* exitCode = nullptr);

}  // namespace tesmar
