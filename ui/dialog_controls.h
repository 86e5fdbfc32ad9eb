#pragma once
// Standard controls of a dialog built in code.
#include <windows.h>

#include <string_view>

namespace tesmar::ui {

// A standard control placed in designed 96-dpi units, scaled to `dpi`, with the given font.
// Throws when the platform refuses it.
HWND CreateDialogControl(const wchar_t* cls, DWORD style, DWORD exStyle, std::u16string_view text, HWND parent,
                         int id, int x, int y, int w, int h, int dpi, HFONT font);

}  // namespace tesmar::ui
