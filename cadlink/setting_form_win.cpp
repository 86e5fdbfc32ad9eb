#include "cadlink/setting_form_win.h"

#include <algorithm>
#include <array>
#include <stdexcept>

#include "base/strings.h"
#include "cadlink/dialog_controls_win.h"
#include "ui/display.h"
#include "ui/gdi.h"
#include "ui/seams.h"

namespace tesmar {
namespace {

enum : int { kBoxFirst = 100, kEditFirst = 120, kButton1 = 130, kButton2 };

// The group box's place in the dialog; the controls inside it are placed in its coordinates.
constexpr int kGroupLeft = 8, kGroupTop = 4, kGroupWidth = 249, kGroupHeight = 184;

struct BoxDesign {
  int n, x, y, w;
  const char16_t* caption;
};
const BoxDesign kBoxes[] = {
    {1, 20, 16, 180, u"コマンドを使用"}, {2, 20, 39, 180, u"LISP 関数を使用"}, {7, 29, 85, 56, u"関数１"},
    {3, 87, 108, 70, u"分解"},           {4, 163, 108, 76, u"パージ"},          {8, 29, 133, 56, u"関数２"},
    {5, 87, 155, 76, u"線分カット"},     {6, 163, 155, 84, u"挿入繰り返し"},
};
constexpr int kEditRows[] = {85, 131, 62};  // Edit1, Edit2, Edit3 (the LISP file's name)
constexpr int kEditWidth = 150;
constexpr char16_t kLabel1Caption[] = u"ファイル名";

// The designed places, widened where a caption needs more room in the dialog's font at the
// display's scale (a Japanese face is wider than the one the design was made with). Three
// columns inside the group box: the function boxes and the label, then the edit fields with
// 分解 and 線分カット, then パージ and 挿入繰り返し; a column starts where the one before it
// ends. The group box and the dialog grow with them, never shrink below the design.
struct SettingLayout {
  std::array<int, 9> x{}, w{};  // check boxes 1 … 8
  int labelWidth = 0, editLeft = 0, groupWidth = 0, clientWidth = 0;
};

SettingLayout LayoutFor(HFONT font, int dpi) {
  constexpr int kCheckRoom = 20, kGap = 4, kMargin = 8;  // the box and its gap; between columns; at the right
  auto designed = [&](std::u16string_view text) { return (ui::TextWidth(font, text) * 96 + dpi - 1) / dpi; };
  SettingLayout l;
  for (const auto& b : kBoxes) l.x[b.n] = b.x, l.w[b.n] = std::max(b.w, designed(b.caption) + kCheckRoom);
  l.labelWidth = std::max(58, designed(kLabel1Caption) + 2);
  const int second = std::max(87, 29 + std::max({l.w[7], l.w[8], l.labelWidth}) + kGap);
  const int third = std::max(163, second + std::max(l.w[3], l.w[5]) + kGap);
  l.x[3] = l.x[5] = l.editLeft = second;
  l.x[4] = l.x[6] = third;
  int right = l.editLeft + kEditWidth;
  for (const auto& b : kBoxes) right = std::max(right, l.x[b.n] + l.w[b.n]);
  l.groupWidth = std::max(kGroupWidth, right + kMargin);
  l.clientWidth = std::max<int>(TMorvikSettingForm::kClientWidth, kGroupLeft + l.groupWidth + kGroupLeft);
  return l;
}

// The group box's children report to the dialog.
LRESULT CALLBACK GroupProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp, UINT_PTR, DWORD_PTR) {
  switch (msg) {
    case WM_COMMAND:
    case WM_CTLCOLORSTATIC:
    case WM_CTLCOLOREDIT:
    case WM_CTLCOLORBTN:
      return SendMessageW(GetParent(hwnd), msg, wp, lp);
    case WM_NCDESTROY:
      RemoveWindowSubclass(hwnd, GroupProc, 1);
      break;
  }
  return DefSubclassProc(hwnd, msg, wp, lp);
}

}  // namespace

void TMorvikSettingForm::Create(HWND owner) {
  const int dpi = ui::DpiOf(nullptr);
  font_ = ui::CreateUiFont(12, dpi);
  const SettingLayout l = LayoutFor(font_.get(), dpi);

  ui::FormDesign params = ui::DialogDesign(L"TMorvikSettingForm", u"挿入設定", l.clientWidth, kClientHeight, owner);
  params.exStyle |= WS_EX_TOPMOST;
  CreateForm(params);

  group_ = CreateDialogControl(L"BUTTON", BS_GROUPBOX | WS_CLIPSIBLINGS, 0, u"", hwnd(), 0, kGroupLeft, kGroupTop,
                               l.groupWidth, kGroupHeight, dpi, font_.get());
  SetWindowSubclass(group_, GroupProc, 1, 0);
  for (const auto& b : kBoxes)
    boxes_[b.n] = CreateDialogControl(L"BUTTON", BS_CHECKBOX | WS_TABSTOP, 0, b.caption, group_, kBoxFirst + b.n,
                                      l.x[b.n], b.y, l.w[b.n], 17, dpi, font_.get());
  label1_ = CreateDialogControl(L"STATIC", SS_LEFTNOWORDWRAP, 0, kLabel1Caption, group_, 0, 29, 62, l.labelWidth, 17,
                                dpi, font_.get());
  for (int i = 0; i < 3; ++i)
    edits_[i] = CreateDialogControl(L"EDIT", WS_TABSTOP | ES_AUTOHSCROLL, WS_EX_CLIENTEDGE, u"", group_, kEditFirst + i,
                                    l.editLeft, kEditRows[i], kEditWidth, 21, dpi, font_.get());
  // The buttons stay centred under a widened group box.
  const int shift = (l.clientWidth - kClientWidth) / 2;
  button1_ = CreateDialogControl(L"BUTTON", WS_TABSTOP | BS_DEFPUSHBUTTON, 0, u"更新", hwnd(), kButton1, 52 + shift, 198,
                                 75, 25, dpi, font_.get());
  button2_ = CreateDialogControl(L"BUTTON", WS_TABSTOP | BS_PUSHBUTTON, 0, u"中止", hwnd(), kButton2, 133 + shift, 198,
                                 75, 25, dpi, font_.get());
  Show();
}

void TMorvikSettingForm::Show() {
  showing_ = true;
  for (int b = 1; b <= 8; ++b) {
    CheckBox(b).SetChecked(state_.Checked(b));
    CheckBox(b).SetEnabled(state_.BoxEnabled(b));
  }
  for (int i = 0; i < 3; ++i) {
    ui::Edit e(edits_[i]);
    if (e.Text() != state_.texts[i]) e.SetText(state_.texts[i]);
    e.SetEnabled(state_.EditEnabled(static_cast<InsertDialogState::Edit>(i)));
  }
  Label1().SetEnabled(state_.Label1Enabled());
  showing_ = false;
}

void TMorvikSettingForm::Fill(const InsertSettings& s) {
  state_.Fill(s);
  Show();
}

void TMorvikSettingForm::SetChecked(int box, bool on) {
  state_.SetChecked(box, on);
  Show();
}

void TMorvikSettingForm::ClickCheckBox(int box) {
  if (!state_.BoxEnabled(box)) return;
  state_.Click(box);
  Show();
}

int TMorvikSettingForm::Execute() { return ui::ShowModal(*this); }

LRESULT TMorvikSettingForm::HandleMessage(UINT msg, WPARAM wp, LPARAM lp) {
  if (msg == WM_COMMAND) {
    const int id = LOWORD(wp), code = HIWORD(wp);
    if (id > kBoxFirst && id <= kBoxFirst + 8) {
      if (code == BN_CLICKED) ClickCheckBox(id - kBoxFirst);
      return 0;
    }
    if (id >= kEditFirst && id < kEditFirst + 3) {
      if (code == EN_SETFOCUS) InputMethodOff(reinterpret_cast<HWND>(lp));
      if (code == EN_CHANGE && !showing_) state_.texts[id - kEditFirst] = ui::WindowText(reinterpret_cast<HWND>(lp));
      return 0;
    }
    if (id == kButton1 && code == BN_CLICKED) {
      EndModal(IDOK);
      return 0;
    }
    if (id == kButton2 && code == BN_CLICKED) {
      EndModal(IDCANCEL);
      return 0;
    }
  }
  return ui::Form::HandleMessage(msg, wp, lp);
}

}  // namespace tesmar
