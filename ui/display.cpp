#include "ui/display.h"

#include <shellscalingapi.h>

#include <cwchar>

#include "base/strings.h"

namespace tesmar::ui {
namespace {

BOOL CALLBACK TakeFirstMonitor(HMONITOR monitor, HDC, LPRECT, LPARAM data) {
  *reinterpret_cast<HMONITOR*>(data) = monitor;
  return FALSE;  // the first one is enough
}

}  // namespace

std::optional<int> FirstMonitorScaleFactor() {
  HMODULE shcore = LoadLibraryW(L"Shcore.dll");
  if (!shcore) return std::nullopt;
  using Fn = HRESULT(WINAPI*)(HMONITOR, DEVICE_SCALE_FACTOR*);
  auto fn = reinterpret_cast<Fn>(reinterpret_cast<void*>(GetProcAddress(shcore, "GetScaleFactorForMonitor")));
  std::optional<int> result;
  HMONITOR first = nullptr;
  EnumDisplayMonitors(nullptr, nullptr, TakeFirstMonitor, reinterpret_cast<LPARAM>(&first));
  DEVICE_SCALE_FACTOR scale{};
  if (fn && first && SUCCEEDED(fn(first, &scale)) && static_cast<int>(scale) > 0) result = static_cast<int>(scale);
  FreeLibrary(shcore);
  return result;
}

int DpiOf(HWND hwnd) {
  UINT dpi = hwnd ? GetDpiForWindow(hwnd) : GetDpiForSystem();
  return dpi ? static_cast<int>(dpi) : 96;
}

int VerticalScrollBarWidth(int dpi) { return GetSystemMetricsForDpi(SM_CXVSCROLL, static_cast<UINT>(dpi)); }

SIZE OuterSizeFor(int clientWidth, int clientHeight, DWORD style, DWORD exStyle, int dpi) {
  RECT r{0, 0, clientWidth, clientHeight};
  if (!AdjustWindowRectExForDpi(&r, style, FALSE, exStyle, static_cast<UINT>(dpi)))
    AdjustWindowRectEx(&r, style, FALSE, exStyle);
  return SIZE{r.right - r.left, r.bottom - r.top};
}

Font CreatePixelFont(std::u16string_view face, int pixelHeight, int dpi, int weight) {
  LOGFONTW lf{};
  lf.lfHeight = -Scaled(pixelHeight, dpi);
  lf.lfWeight = weight;
  lf.lfCharSet = DEFAULT_CHARSET;
  lf.lfQuality = CLEARTYPE_QUALITY;
  std::wstring f = ToWide(face.substr(0, LF_FACESIZE - 1));
  wcscpy(lf.lfFaceName, f.c_str());
  return Font(CreateFontIndirectW(&lf));
}

}  // namespace tesmar::ui
