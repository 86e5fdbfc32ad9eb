#pragma once
// The program's dark look ("Windows10 Dark") realised with plain Win32 means: dark window and
// control backgrounds with light text through the WM_CTLCOLOR* messages and the program's
// own painted controls, and the dark title bar where the system offers it. Until the theme is
// applied, or when it cannot be, every colour is the system's default.
#include <windows.h>

namespace tesmar::ui {

struct ThemeColours {
  COLORREF window;      // window and panel backgrounds
  COLORREF face;        // buttons
  COLORREF faceDown;    // a pressed button
  COLORREF field;       // edit fields and lists
  COLORREF text;        // text on all of the above
  COLORREF disabledText;
  COLORREF light;       // raised bevel, upper-left
  COLORREF shadow;      // raised bevel, lower-right
};

// Switches the program to the dark look (the theme's own colours and owner-drawn menus).
void ApplyDarkTheme();
bool DarkThemeActive();
const ThemeColours& Colours();

// Solid brushes of the current colours, owned by the theme.
HBRUSH WindowBrush();
HBRUSH FieldBrush();

// Dark title bar and dark scroll bars / drop lists for one window where the system offers
// them; does nothing in the default look.
void ThemeWindow(HWND hwnd);
void ThemeControl(HWND control);

// Answers the WM_CTLCOLOR* messages of a parent for its children: sets the text and background
// colours on the DC and returns the background brush. Edit fields and lists (also read-only
// edits, which ask with WM_CTLCOLORSTATIC) get the field colour, everything else the window's.
LRESULT ControlColour(UINT msg, HDC dc, HWND child);

}  // namespace tesmar::ui
