#pragma once
// Pop-up menus in the theme's colours. The items become owner-drawn; their captions, check
// marks and ids stay where the platform keeps them, so reading a menu back is unchanged. The
// owner window passes WM_MEASUREITEM and WM_DRAWITEM of menus here.
#include <windows.h>

namespace tesmar::ui {

// Makes every item of the menu and of its sub-menus owner-drawn, with a dark background.
// Does nothing in the default look.
void MakeMenuDark(HMENU menu);

// True when the message was about an item of `menu` (or of its sub-menus) and has been
// answered; dpi is the owner window's, the same for measuring and drawing.
bool MeasureMenuItem(HMENU menu, int dpi, MEASUREITEMSTRUCT& mis);
bool DrawMenuItem(int dpi, DRAWITEMSTRUCT& dis);

}  // namespace tesmar::ui
