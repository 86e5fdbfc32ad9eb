#pragma once
// Display scale and DPI: the scale factor of the first monitor, and sizes designed at 96 dpi
// scaled to the DPI a window is shown at (the program declares per-monitor DPI awareness).
#include <windows.h>

#include <optional>
#include <string_view>

#include "ui/gdi.h"

namespace tesmar::ui {

// GetScaleFactorForMonitor of Shcore.dll, looked up by name at run time, for the first
// monitor of the system's monitor list: the scale in percent. Nothing when the function or a
// monitor is missing.
std::optional<int> FirstMonitorScaleFactor();

// The DPI of a window (of the system when hwnd is null).
int DpiOf(HWND hwnd);
// A length designed at 96 dpi, at the given DPI.
inline int Scaled(int designed, int dpi) { return MulDiv(designed, dpi, 96); }
// The width of a vertical scroll bar at the given DPI.
int VerticalScrollBarWidth(int dpi);
// The outer size of a window whose client area is w x h (at the given DPI's metrics).
SIZE OuterSizeFor(int clientWidth, int clientHeight, DWORD style, DWORD exStyle, int dpi);
// A font of the given face and character height in pixels at 96 dpi, scaled to dpi; its
// character set is DEFAULT_CHARSET so Japanese text finds a face that has it.
Font CreatePixelFont(std::u16string_view face, int pixelHeight, int dpi, int weight = FW_NORMAL);
// The program's own face for its windows and dialogs, at a character height in pixels at 96 dpi.
inline Font CreateUiFont(int pixelHeight, int dpi) { return CreatePixelFont(u"Tahoma", pixelHeight, dpi); }

}  // namespace tesmar::ui
