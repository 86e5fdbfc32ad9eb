#include "ui/dark_menu.h"

#include <algorithm>
#include <string>

#include "ui/display.h"
#include "ui/gdi.h"
#include "ui/theme.h"

namespace tesmar::ui {
namespace {

// Menus carry this value as item data, so only our own owner-drawn items are answered.
constexpr ULONG_PTR kDarkItem = 0x54534D52;  // "TSMR"

// The position of the item with this id in the menu; -1 when there is none.
int PositionOf(HMENU menu, UINT id) {
  for (int i = 0, n = GetMenuItemCount(menu); i < n; ++i) {
    MENUITEMINFOW mi{};
    mi.cbSize = sizeof mi;
    mi.fMask = MIIM_ID;
    if (GetMenuItemInfoW(menu, static_cast<UINT>(i), TRUE, &mi) && mi.wID == id) return i;
  }
  return -1;
}

struct ItemText {
  std::wstring text;
  bool separator = false;
  bool subMenu = false;
};

ItemText TextOf(HMENU menu, UINT id) {
  ItemText t;
  int pos = PositionOf(menu, id);
  if (pos < 0) return t;
  wchar_t buf[512] = {};
  MENUITEMINFOW mi{};
  mi.cbSize = sizeof mi;
  mi.fMask = MIIM_STRING | MIIM_FTYPE | MIIM_SUBMENU;
  mi.dwTypeData = buf;
  mi.cch = static_cast<UINT>(std::size(buf));
  GetMenuItemInfoW(menu, static_cast<UINT>(pos), TRUE, &mi);
  t.text = buf;
  t.separator = (mi.fType & MFT_SEPARATOR) != 0;
  t.subMenu = mi.hSubMenu != nullptr;
  return t;
}

// The menu font of the system, with a character set that lets Japanese text find its glyphs.
Font MenuFont(int dpi) {
  NONCLIENTMETRICSW ncm{};
  ncm.cbSize = sizeof ncm;
  SystemParametersInfoForDpi(SPI_GETNONCLIENTMETRICS, sizeof ncm, &ncm, 0, static_cast<UINT>(dpi));
  ncm.lfMenuFont.lfCharSet = DEFAULT_CHARSET;
  return Font(CreateFontIndirectW(&ncm.lfMenuFont));
}

}  // namespace

void MakeMenuDark(HMENU menu) {
  if (!DarkThemeActive()) return;
  MENUINFO info{};
  info.cbSize = sizeof info;
  info.fMask = MIM_BACKGROUND | MIM_APPLYTOSUBMENUS;
  info.hbrBack = WindowBrush();
  SetMenuInfo(menu, &info);
  for (int i = 0, n = GetMenuItemCount(menu); i < n; ++i) {
    MENUITEMINFOW mi{};
    mi.cbSize = sizeof mi;
    mi.fMask = MIIM_FTYPE | MIIM_SUBMENU;
    GetMenuItemInfoW(menu, static_cast<UINT>(i), TRUE, &mi);
    mi.fMask = MIIM_FTYPE | MIIM_DATA;
    mi.fType |= MFT_OWNERDRAW;
    mi.dwItemData = kDarkItem;
    SetMenuItemInfoW(menu, static_cast<UINT>(i), TRUE, &mi);
    if (mi.hSubMenu) MakeMenuDark(mi.hSubMenu);
  }
}

bool MeasureMenuItem(HMENU menu, int dpi, MEASUREITEMSTRUCT& mis) {
  if (mis.CtlType != ODT_MENU || mis.itemData != kDarkItem) return false;
  // The message does not name the item's menu: the item is found by its id, which the search
  // by command looks for in the sub-menus too.
  MENUITEMINFOW probe{};
  probe.cbSize = sizeof probe;
  probe.fMask = MIIM_STRING;
  wchar_t buf[512] = {};
  probe.dwTypeData = buf;
  probe.cch = static_cast<UINT>(std::size(buf));
  bool found = GetMenuItemInfoW(menu, mis.itemID, FALSE, &probe) != FALSE;
  std::wstring text = found ? buf : L"";
  if (text.empty()) {  // a separator
    mis.itemWidth = 0;
    mis.itemHeight = static_cast<UINT>(Scaled(7, dpi));
    return true;
  }
  WindowDc screen(nullptr);
  Font font = MenuFont(dpi);
  Selection keep(screen.get(), font.get());
  // A key after a tab goes to the right edge, a gap away from the caption.
  const std::size_t tab = text.find(L'\t');
  RECT r{0, 0, 0, 0}, key{0, 0, 0, 0};
  DrawTextW(screen.get(), text.c_str(), static_cast<int>(std::min(tab, text.size())), &r,
            DT_SINGLELINE | DT_CALCRECT | DT_NOPREFIX);
  if (tab != std::wstring::npos) {
    DrawTextW(screen.get(), text.c_str() + tab + 1, -1, &key, DT_SINGLELINE | DT_CALCRECT | DT_NOPREFIX);
    r.right += key.right + Scaled(24, dpi);
  }
  mis.itemWidth = static_cast<UINT>(r.right + Scaled(40, dpi));
  mis.itemHeight = static_cast<UINT>(std::max<int>(r.bottom + Scaled(6, dpi), Scaled(20, dpi)));
  return true;
}

bool DrawMenuItem(int dpi, DRAWITEMSTRUCT& dis) {
  if (dis.CtlType != ODT_MENU || dis.itemData != kDarkItem) return false;
  HMENU menu = reinterpret_cast<HMENU>(dis.hwndItem);
  ItemText item = TextOf(menu, dis.itemID);
  const ThemeColours& c = Colours();
  HDC dc = dis.hDC;
  RECT r = dis.rcItem;
  const int h = r.bottom - r.top;
  bool selected = (dis.itemState & ODS_SELECTED) && !item.separator;
  Brush back(CreateSolidBrush(selected ? c.faceDown : c.window));
  FillRect(dc, &r, back.get());
  if (item.separator) {
    Pen line(CreatePen(PS_SOLID, 1, c.light));
    Selection keep(dc, line.get());
    MoveToEx(dc, r.left + 4, r.top + h / 2, nullptr);
    LineTo(dc, r.right - 4, r.top + h / 2);
    return true;
  }
  if (dis.itemState & ODS_CHECKED) {
    // A check mark drawn as two strokes in the text colour.
    Pen tick(CreatePen(PS_SOLID, std::max(1, h / 10), c.text));
    Selection keep(dc, tick.get());
    int x = r.left + h / 4, y = r.top + h / 2;
    MoveToEx(dc, x, y, nullptr);
    LineTo(dc, x + h / 6, y + h / 6);
    LineTo(dc, x + h / 2, y - h / 4);
  }
  Font font = MenuFont(dpi);
  Selection keep(dc, font.get());
  SetBkMode(dc, TRANSPARENT);
  SetTextColor(dc, (dis.itemState & (ODS_GRAYED | ODS_DISABLED)) ? c.disabledText : c.text);
  RECT text = r;
  text.left += h + 2;
  const std::size_t tab = item.text.find(L'\t');
  DrawTextW(dc, item.text.c_str(), static_cast<int>(std::min(tab, item.text.size())), &text,
            DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX);
  if (tab != std::wstring::npos) {
    RECT key = r;
    key.right -= h / 2 + 2;
    DrawTextW(dc, item.text.c_str() + tab + 1, -1, &key, DT_SINGLELINE | DT_VCENTER | DT_RIGHT | DT_NOPREFIX);
  }
  if (item.subMenu) {
    // Our own arrow; the clip then keeps the system from drawing its own over the item.
    Brush fill(CreateSolidBrush(c.text));
    Pen edge(CreatePen(PS_SOLID, 1, c.text));
    Selection b(dc, fill.get()), p(dc, edge.get());
    const int a = std::max(3, h / 5), x = r.right - h / 2, y = r.top + h / 2;
    POINT tri[3] = {{x - a / 2, y - a}, {x - a / 2, y + a}, {x + a / 2, y}};
    Polygon(dc, tri, 3);
  }
  ExcludeClipRect(dc, r.left, r.top, r.right, r.bottom);
  return true;
}

}  // namespace tesmar::ui
