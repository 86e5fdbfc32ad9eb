#include "cadlink/target_cad_form_win.h"

#include <commctrl.h>

#include <stdexcept>

#include "base/strings.h"
#include "base/texts.h"
#include "cadlink/dialog_controls_win.h"
#include "ui/display.h"
#include "ui/seams.h"

namespace tesmar {
namespace {

enum : int { kListBox1 = 101, kEdit1, kEdit2, kSpeedButton1, kSpeedButton2, kSpeedButton3, kButton1, kButton2 };

}  // namespace

void TTargetCADForm::Create(HWND owner) {
  CreateForm(ui::DialogDesign(L"TTargetCADForm", u"ターゲット CAD", kClientWidth, kClientHeight, owner));

  const int dpi = Dpi();
  font_ = ui::CreateUiFont(12, dpi);
  listFont_ = ui::CreateUiFont(13, dpi);
  HWND h = hwnd();
  // The list keeps the rows in the order the TargetList gives them (sorted there).
  // The TAB of a row moves the ProgID to a column.
  listBox1_ = CreateDialogControl(L"LISTBOX", WS_VSCROLL | WS_TABSTOP | LBS_NOTIFY | LBS_NOINTEGRALHEIGHT | LBS_USETABSTOPS,
                                  WS_EX_CLIENTEDGE, u"", h, kListBox1, 8, 8, 299, 128, dpi, listFont_.get());
  const int tabStop = 100;  // dialog template units
  SendMessageW(listBox1_, LB_SETTABSTOPS, 1, reinterpret_cast<LPARAM>(&tabStop));
  // Which target the next command goes to, whatever row is selected.
  currentLabel_ = CreateDialogControl(L"STATIC", SS_ENDELLIPSIS | SS_NOPREFIX, 0, u"", h, 0, 8, 141, 299, 16, dpi, font_.get());
  label1_ = CreateDialogControl(L"STATIC", 0, 0, u"名称 （説明）", h, 0, 8, 166, 299, 16, dpi, font_.get());
  edit1_ = CreateDialogControl(L"EDIT", WS_TABSTOP | ES_AUTOHSCROLL, WS_EX_CLIENTEDGE, u"", h, kEdit1, 8, 183, 299, 22, dpi,
                         font_.get());
  label2_ = CreateDialogControl(L"STATIC", 0, 0, u"ProgID （クラス文字列）", h, 0, 8, 211, 299, 16, dpi, font_.get());
  edit2_ = CreateDialogControl(L"EDIT", WS_TABSTOP | ES_AUTOHSCROLL, WS_EX_CLIENTEDGE, u"", h, kEdit2, 8, 228, 299, 22, dpi,
                         font_.get());
  speedButton1_.Create(h, u"SpeedButton1", u"追加", ui::Scaled(8, dpi), ui::Scaled(258, dpi), ui::Scaled(64, dpi),
                       ui::Scaled(22, dpi), kSpeedButton1);
  speedButton2_.Create(h, u"SpeedButton2", u"削除", ui::Scaled(78, dpi), ui::Scaled(258, dpi), ui::Scaled(64, dpi),
                       ui::Scaled(22, dpi), kSpeedButton2);
  speedButton3_.Create(h, u"SpeedButton3", u"変更", ui::Scaled(148, dpi), ui::Scaled(258, dpi), ui::Scaled(64, dpi),
                       ui::Scaled(22, dpi), kSpeedButton3);
  speedButton1_.onClick = [this] { SpeedButton1Click(); };
  speedButton2_.onClick = [this] { SpeedButton2Click(); };
  speedButton3_.onClick = [this] { SpeedButton3Click(); };
  button1_ = CreateDialogControl(L"BUTTON", WS_TABSTOP | BS_DEFPUSHBUTTON, 0, u"OK", h, kButton1, 150, 280, 75, 24, dpi,
                           font_.get());
  button2_ = CreateDialogControl(L"BUTTON", WS_TABSTOP | BS_PUSHBUTTON, 0, u"取り消し", h, kButton2, 232, 280, 75, 24, dpi,
                           font_.get());
  SetWindowSubclass(edit1_, &TTargetCADForm::EditProc, 1, reinterpret_cast<DWORD_PTR>(this));
  SetWindowSubclass(edit2_, &TTargetCADForm::EditProc, 1, reinterpret_cast<DWORD_PTR>(this));
}

LRESULT CALLBACK TTargetCADForm::EditProc(HWND edit, UINT msg, WPARAM wp, LPARAM lp, UINT_PTR, DWORD_PTR self) {
  if (msg == WM_CHAR) {
    wchar_t key = static_cast<wchar_t>(wp);
    ui::RunGuarded([&] { reinterpret_cast<TTargetCADForm*>(self)->Edit1KeyPress(key); });
    if (key == 0) return 0;
    wp = key;
  }
  if (msg == WM_NCDESTROY) RemoveWindowSubclass(edit, &TTargetCADForm::EditProc, 1);
  return DefSubclassProc(edit, msg, wp, lp);
}

int TTargetCADForm::Execute() {
  FormShow();
  return ui::ShowModal(*this);
}

LRESULT TTargetCADForm::HandleMessage(UINT msg, WPARAM wp, LPARAM lp) {
  if (msg == WM_COMMAND) {
    const int id = LOWORD(wp), code = HIWORD(wp);
    switch (id) {
      case kListBox1:
        if (code == LBN_SELCHANGE) {
          list_.Select(ListBoxIndex());
          ListBox1Click();
        }
        return 0;
      case kEdit1:
      case kEdit2:
        if (code == EN_SETFOCUS) InputMethodOff(reinterpret_cast<HWND>(lp));
        if (code == EN_CHANGE && !showingEdits_) (id == kEdit1 ? list_.name : list_.progId) = ui::WindowText(reinterpret_cast<HWND>(lp));
        return 0;
      case kButton1:
        if (code == BN_CLICKED) {
          Button1Click();
          EndModal(IDOK);
        }
        return 0;
      case kButton2:
        if (code == BN_CLICKED) EndModal(IDCANCEL);
        return 0;
    }
  }
  return ui::Form::HandleMessage(msg, wp, lp);
}

std::vector<std::u16string> TTargetCADForm::ListBoxRows() const {
  std::vector<std::u16string> rows;
  const int n = static_cast<int>(SendMessageW(listBox1_, LB_GETCOUNT, 0, 0));
  for (int i = 0; i < n; ++i) {
    std::wstring buf(static_cast<std::size_t>(SendMessageW(listBox1_, LB_GETTEXTLEN, i, 0)) + 1, L'\0');
    SendMessageW(listBox1_, LB_GETTEXT, i, reinterpret_cast<LPARAM>(buf.data()));
    buf.resize(wcslen(buf.c_str()));
    rows.push_back(FromWide(buf));
  }
  return rows;
}

int TTargetCADForm::ListBoxIndex() const { return static_cast<int>(SendMessageW(listBox1_, LB_GETCURSEL, 0, 0)); }

void TTargetCADForm::ShowList() {
  SendMessageW(listBox1_, WM_SETREDRAW, FALSE, 0);
  SendMessageW(listBox1_, LB_RESETCONTENT, 0, 0);
  for (const auto& row : list_.Rows()) SendMessageW(listBox1_, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(WidePtr(row)));
  SendMessageW(listBox1_, LB_SETCURSEL, static_cast<WPARAM>(list_.Selected()), 0);
  SendMessageW(listBox1_, WM_SETREDRAW, TRUE, 0);
  InvalidateRect(listBox1_, nullptr, TRUE);
}

void TTargetCADForm::ShowEdits() {
  showingEdits_ = true;
  Edit1().SetText(list_.name);
  Edit2().SetText(list_.progId);
  showingEdits_ = false;
}

void TTargetCADForm::Save() { WriteTargetListFile(listFile, file_, list_.Rows()); }

// The rows are reloaded from the file at each showing; without a file the list keeps the rows
// it had.
void TTargetCADForm::FormShow() {
  const std::u16string current = currentProgId ? currentProgId() : std::u16string();
  TextLines text;
  if (ReadTargetListFile(listFile, text)) {
    file_ = std::move(text);
    list_.Load(file_.lines, current);
  }
  ShowList();
  ListBox1Click();
  std::u16string name;
  for (const auto& row : list_.Rows())
    if (RowMatchesTarget(row, current)) {
      name = SplitTargetRow(row).name;
      break;
    }
  ui::Label(currentLabel_).SetText(CurrentTargetText(name, current));
}

void TTargetCADForm::ListBox1Click() {
  if (list_.Selected() < 0) return;
  ShowEdits();
}

void TTargetCADForm::SpeedButton1Click() {
  list_.Add();
  ShowList();
  ListBox1Click();
  Save();
}

void TTargetCADForm::SpeedButton2Click() {
  if (!list_.Delete()) return;
  ShowList();
  ShowEdits();  // emptied, or the newly selected row
  Save();
}

void TTargetCADForm::SpeedButton3Click() {
  if (!list_.Change()) return;
  ShowList();
  Save();
}

void TTargetCADForm::Edit1KeyPress(wchar_t& key) {
  if (key != L'\r') return;
  key = 0;
  SpeedButton3Click();
}

void TTargetCADForm::Button1Click() {
  if (onTargetChosen) onTargetChosen(kTargetCaptionPrefix + list_.name, list_.progId);
}

}  // namespace tesmar
