#include "app/search_form_win.h"

#include <commctrl.h>

#include <algorithm>

#include "base/strings.h"
#include "ui/controls.h"
#include "ui/dialog_controls.h"
#include "ui/display.h"
#include "ui/seams.h"
#include "ui/theme.h"

namespace tesmar {
namespace {

enum : int { kComboBox1 = 101, kButton1, kButton2 };

}  // namespace

void TSearchForm::Create(HWND owner) {
  CreateForm(ui::DialogDesign(L"TSearchForm", u"図面を検索", kClientWidth, kClientHeight, owner));

  const int dpi = Dpi();
  font_ = ui::CreateUiFont(12, dpi);
  HWND h = hwnd();
  // Two lines: what is searched, then how several words combine.
  label_ = ui::CreateDialogControl(L"STATIC", 0, 0, u"図面の名前または説明の一部（* ? 使用可）\n空白で区切った語はすべて含むもの", h, 0,
                               8, 6, 284, 30, dpi, font_.get());
  combo_ = ui::CreateDialogControl(L"COMBOBOX", WS_TABSTOP | WS_VSCROLL | CBS_DROPDOWN | CBS_AUTOHSCROLL, 0, u"", h,
                               kComboBox1, 8, 40, 284, 200, dpi, font_.get());
  ui::ThemeControl(combo_);
  button1_ = ui::CreateDialogControl(L"BUTTON", WS_TABSTOP | BS_DEFPUSHBUTTON, 0, u"検索", h, kButton1, 136, 68, 75, 22,
                                 dpi, font_.get());
  button2_ = ui::CreateDialogControl(L"BUTTON", WS_TABSTOP | BS_PUSHBUTTON, 0, u"キャンセル", h, kButton2, 217, 68, 75, 22,
                                 dpi, font_.get());
  COMBOBOXINFO info{};
  info.cbSize = sizeof info;
  if (GetComboBoxInfo(combo_, &info) && info.hwndItem)
    SetWindowSubclass(info.hwndItem, &TSearchForm::FieldProc, 1, reinterpret_cast<DWORD_PTR>(this));
}

// Enter and Esc in the field act as the two buttons (the field takes every key first).
LRESULT CALLBACK TSearchForm::FieldProc(HWND field, UINT msg, WPARAM wp, LPARAM lp, UINT_PTR, DWORD_PTR self) {
  auto* form = reinterpret_cast<TSearchForm*>(self);
  const bool dropped = SendMessageW(form->combo_, CB_GETDROPPEDSTATE, 0, 0) != 0;
  if (msg == WM_KEYDOWN && !dropped && (wp == VK_RETURN || wp == VK_ESCAPE)) {
    ui::RunGuarded([&] {
      if (wp == VK_RETURN) form->Button1Click();
      else form->EndModal(IDCANCEL);
    });
    return 0;
  }
  if (msg == WM_CHAR && !dropped && (wp == L'\r' || wp == 27)) return 0;  // no beep
  if (msg == WM_NCDESTROY) RemoveWindowSubclass(field, &TSearchForm::FieldProc, 1);
  return DefSubclassProc(field, msg, wp, lp);
}

std::optional<std::u16string> TSearchForm::Execute(const std::vector<std::u16string>& history) {
  ui::ComboBox list(combo_);
  list.Clear();
  for (const auto& text : history) list.Add(text);
  list.SetText(history.empty() ? u"" : history.front());
  SendMessageW(combo_, CB_SETEDITSEL, 0, MAKELPARAM(0, -1));
  SetFocus(combo_);
  if (ui::ShowModal(*this) != IDOK) return std::nullopt;
  std::u16string text = list.Text();
  if (TrimBlanks(text).empty()) return std::nullopt;
  return text;
}

void TSearchForm::Button1Click() { EndModal(IDOK); }

LRESULT TSearchForm::HandleMessage(UINT msg, WPARAM wp, LPARAM lp) {
  if (msg == WM_COMMAND) {
    const int id = LOWORD(wp), code = HIWORD(wp);
    if (id == kButton1 && code == BN_CLICKED) Button1Click();
    if (id == kButton2 && code == BN_CLICKED) EndModal(IDCANCEL);
    if (id == IDCANCEL) EndModal(IDCANCEL);
    return 0;
  }
  return ui::Form::HandleMessage(msg, wp, lp);
}

void RememberSearchText(std::vector<std::u16string>& history, const std::u16string& text, std::size_t kept) {
  history.erase(std::remove(history.begin(), history.end(), text), history.end());
  history.insert(history.begin(), text);
  if (history.size() > kept) history.resize(kept);
}

}  // namespace tesmar
