#include "ui/controls.h"

#include <stdexcept>

namespace tesmar::ui {

std::u16string WindowText(HWND hwnd) {
  int n = GetWindowTextLengthW(hwnd);
  std::wstring buf(static_cast<size_t>(n) + 1, L'\0');
  n = GetWindowTextW(hwnd, buf.data(), n + 1);
  buf.resize(static_cast<size_t>(n < 0 ? 0 : n));
  return FromWide(buf);
}

RECT Control::Bounds() const {
  RECT r{};
  GetWindowRect(hwnd_, &r);
  MapWindowPoints(HWND_DESKTOP, GetParent(hwnd_), reinterpret_cast<POINT*>(&r), 2);
  return r;
}

int Control::Width() const {
  RECT r{};
  GetWindowRect(hwnd_, &r);
  return r.right - r.left;
}

int Control::Height() const {
  RECT r{};
  GetWindowRect(hwnd_, &r);
  return r.bottom - r.top;
}

std::u16string ComboBox::Item(int i) const {
  auto n = SendMessageW(hwnd_, CB_GETLBTEXTLEN, static_cast<WPARAM>(i), 0);
  if (n == CB_ERR) throw std::out_of_range("list index out of bounds");
  std::wstring buf(static_cast<size_t>(n) + 1, L'\0');
  n = SendMessageW(hwnd_, CB_GETLBTEXT, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(buf.data()));
  buf.resize(static_cast<size_t>(n < 0 ? 0 : n));
  return FromWide(buf);
}

std::vector<std::u16string> ComboBox::Items() const {
  std::vector<std::u16string> out;
  for (int i = 0, n = Count(); i < n; ++i) out.push_back(Item(i));
  return out;
}

void Timer::SetEnabled(bool on) {
  if (on == enabled_ || !owner_) {
    if (!owner_) enabled_ = false;
    return;
  }
  if (on) {
    if (!SetTimer(owner_, id_, interval_, nullptr)) throw std::runtime_error("SetTimer failed");
  } else {
    KillTimer(owner_, id_);
  }
  enabled_ = on;
}

std::u16string MenuItem::Caption() const {
  wchar_t buf[512] = {};
  MENUITEMINFOW mi{};
  mi.cbSize = sizeof mi;
  mi.fMask = MIIM_STRING;
  mi.dwTypeData = buf;
  mi.cch = static_cast<UINT>(std::size(buf));
  if (!GetMenuItemInfoW(menu_, position_, TRUE, &mi)) return {};
  return FromWide(buf);
}

void MenuItem::SetCaption(std::u16string_view caption) const {
  std::wstring text = ToWide(caption);
  MENUITEMINFOW mi{};
  mi.cbSize = sizeof mi;
  mi.fMask = MIIM_STRING;
  mi.dwTypeData = text.data();
  SetMenuItemInfoW(menu_, position_, TRUE, &mi);
}

bool MenuItem::Checked() const {
  return (GetMenuState(menu_, position_, MF_BYPOSITION) & MF_CHECKED) != 0;
}

void MenuItem::SetChecked(bool on) const {
  CheckMenuItem(menu_, position_, MF_BYPOSITION | (on ? MF_CHECKED : MF_UNCHECKED));
}

bool MenuItem::Enabled() const {
  return (GetMenuState(menu_, position_, MF_BYPOSITION) & (MF_GRAYED | MF_DISABLED)) == 0;
}

void MenuItem::SetEnabled(bool on) const {
  EnableMenuItem(menu_, position_, MF_BYPOSITION | (on ? MF_ENABLED : MF_GRAYED));
}

bool MenuItem::IsSeparator() const {
  MENUITEMINFOW mi{};
  mi.cbSize = sizeof mi;
  mi.fMask = MIIM_FTYPE;
  GetMenuItemInfoW(menu_, position_, TRUE, &mi);
  return (mi.fType & MFT_SEPARATOR) != 0;
}

void PopupMenu::Popup(HWND owner, int x, int y) const {
  // The owner must be in front for the menu to close when the user clicks elsewhere.
  SetForegroundWindow(owner);
  TrackPopupMenu(menu_, TPM_LEFTALIGN | TPM_TOPALIGN | TPM_RIGHTBUTTON, x, y, 0, owner, nullptr);
  PostMessageW(owner, WM_NULL, 0, 0);
}

}  // namespace tesmar::ui
