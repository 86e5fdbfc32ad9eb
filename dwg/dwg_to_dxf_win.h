#pragma once
// Running the outside converter for one drawing and waiting for it while the program's
// windows stay responsive.
#include <windows.h>

#include <string_view>

namespace tesmar {

enum class ConversionEnd {
  Ended,        // the converter ended by itself (whatever its exit code)
  StartFailed,  // it could not be started; "起動に失敗しました．" titled "エラー" was shown
  Cancelled,    // the user pressed Esc: the converter was ended
  Quitting,     // the program is ending (WM_QUIT, or `owner` was destroyed): the converter was ended
};

// Starts `exepath` through the shell (ShellExecuteEx, owner window `owner`) with the seven
// arguments for converting `DwgPath` into `outFolder`, and waits until it ends, handling window
// messages meanwhile, with the hourglass pointer. The converter's window is shown when
// `showRequested` is set or a folder is a drive's root. Esc ends the wait and the converter; so
// does the end of the program, so that no converter writes after the program has cleaned up.
ConversionEnd DwgToDxf(HWND owner, std::u16string_view exepath, std::u16string_view DwgPath,
                       std::u16string_view outFolder, bool showRequested);

}  // namespace tesmar
