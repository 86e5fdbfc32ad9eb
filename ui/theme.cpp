#include "ui/theme.h"

#include <dwmapi.h>
#include <uxtheme.h>

namespace tesmar::ui {
namespace {

bool g_dark = false;

const ThemeColours kDark = {
    RGB(32, 32, 32),    RGB(51, 51, 51),    RGB(70, 70, 70),    RGB(43, 43, 43),
    RGB(240, 240, 240), RGB(128, 128, 128), RGB(90, 90, 90),    RGB(16, 16, 16),
};

ThemeColours SystemColours() {
  return {GetSysColor(COLOR_BTNFACE),   GetSysColor(COLOR_BTNFACE), GetSysColor(COLOR_BTNSHADOW),
          GetSysColor(COLOR_WINDOW),    GetSysColor(COLOR_BTNTEXT), GetSysColor(COLOR_GRAYTEXT),
          GetSysColor(COLOR_BTNHIGHLIGHT), GetSysColor(COLOR_BTNSHADOW)};
}

struct Brushes {
  HBRUSH window = nullptr, field = nullptr;
  void Rebuild() {
    if (window) DeleteObject(window);
    if (field) DeleteObject(field);
    window = CreateSolidBrush(Colours().window);
    field = CreateSolidBrush(Colours().field);
  }
  ~Brushes() {
    if (window) DeleteObject(window);
    if (field) DeleteObject(field);
  }
};

Brushes& TheBrushes() {
  static Brushes b;
  if (!b.window) b.Rebuild();
  return b;
}

}  // namespace

void ApplyDarkTheme() {
  g_dark = true;
  TheBrushes().Rebuild();
}

bool DarkThemeActive() { return g_dark; }

const ThemeColours& Colours() {
  static ThemeColours system;
  if (g_dark) return kDark;
  system = SystemColours();
  return system;
}

HBRUSH WindowBrush() { return TheBrushes().window; }
HBRUSH FieldBrush() { return TheBrushes().field; }

void ThemeWindow(HWND hwnd) {
  if (!g_dark) return;
  // DWMWA_USE_IMMERSIVE_DARK_MODE is 20 on current systems and was 19 before Windows 10 20H1;
  // a system without it refuses both and the title bar keeps its look.
  BOOL on = TRUE;
  if (FAILED(DwmSetWindowAttribute(hwnd, 20, &on, sizeof on))) DwmSetWindowAttribute(hwnd, 19, &on, sizeof on);
}

void ThemeControl(HWND control) {
  if (!g_dark) return;
  // The dark visual-style class of the system's own file dialogs gives drop lists and scroll
  // bars a dark look on Windows 10 and later; elsewhere the class is unknown and nothing changes.
  SetWindowTheme(control, L"DarkMode_CFD", nullptr);
}

LRESULT ControlColour(UINT msg, HDC dc, HWND child) {
  const ThemeColours& c = Colours();
  SetTextColor(dc, c.text);
  wchar_t cls[16] = {};
  GetClassNameW(child, cls, 16);
  bool field = msg == WM_CTLCOLOREDIT || msg == WM_CTLCOLORLISTBOX || lstrcmpiW(cls, L"Edit") == 0;
  SetBkColor(dc, field ? c.field : c.window);
  return reinterpret_cast<LRESULT>(field ? FieldBrush() : WindowBrush());
}

}  // namespace tesmar::ui
