#include "ui/dark_menu.h"

#include <gtest/gtest.h>

#include "ui/display.h"
#include "ui/gdi.h"
#include "ui/theme.h"

namespace tesmar::ui {
namespace {

// The item is drawn at the DPI it was measured at: the caption's drawn width matches the
// width measured for it, at every scale (a memory DC always reports the system's DPI).
TEST(DarkMenu, ItemsAreDrawnAtTheDpiTheyWereMeasuredAt) {
  ApplyDarkTheme();
  HMENU menu = CreatePopupMenu();
  const UINT id = 100;
  AppendMenuW(menu, MF_STRING, id, L"WWWWWWWW");
  MakeMenuDark(menu);
  MENUITEMINFOW mi{};
  mi.cbSize = sizeof mi;
  mi.fMask = MIIM_DATA;
  ASSERT_TRUE(GetMenuItemInfoW(menu, id, FALSE, &mi));

  for (int dpi : {96, 144, 192}) {
    SCOPED_TRACE(dpi);
    MEASUREITEMSTRUCT mis{};
    mis.CtlType = ODT_MENU;
    mis.itemID = id;
    mis.itemData = mi.dwItemData;
    ASSERT_TRUE(MeasureMenuItem(menu, dpi, mis));
    const int textWidth = static_cast<int>(mis.itemWidth) - Scaled(40, dpi);

    DibBitmap bmp(static_cast<int>(mis.itemWidth), static_cast<int>(mis.itemHeight));
    DRAWITEMSTRUCT dis{};
    dis.CtlType = ODT_MENU;
    dis.itemID = id;
    dis.itemData = mi.dwItemData;
    dis.hwndItem = reinterpret_cast<HWND>(menu);
    dis.hDC = bmp.Dc();
    dis.rcItem = RECT{0, 0, bmp.Width(), bmp.Height()};
    ASSERT_TRUE(DrawMenuItem(dpi, dis));

    const COLORREF back = bmp.Pixel(0, 0);
    int left = bmp.Width(), right = -1;
    for (int y = 0; y < bmp.Height(); ++y)
      for (int x = 0; x < bmp.Width(); ++x)
        if (bmp.Pixel(x, y) != back) left = std::min(left, x), right = std::max(right, x);
    ASSERT_GE(right, left) << "nothing drawn";
    const int drawn = right - left + 1;
    EXPECT_LE(drawn, textWidth);
    EXPECT_GT(drawn, textWidth * 3 / 4);
  }
  DestroyMenu(menu);
}

}  // namespace
}  // namespace tesmar::ui
