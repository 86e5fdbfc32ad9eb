#include "cadlink/insert_dialog.h"

namespace tesmar {

InsertDialogState::InsertDialogState() {
  boxEnabled_.fill(true);
  editEnabled_.fill(true);
  checked_ = {false, false, true, true, true, true, true, false, true};
  boxEnabled_[3] = boxEnabled_[4] = false;
  editEnabled_[kEdit1] = false;
}

void InsertDialogState::Fill(const InsertSettings& s) {
  SetChecked(1, !s.useLspFlag);
  SetChecked(2, s.useLspFlag);
  SetChecked(7, s.useFunc1Flag);
  SetChecked(8, s.useFunc2Flag);
  SetChecked(3, s.expFlag);
  SetChecked(4, s.purgeFlag);
  SetChecked(5, s.cutFlag);
  SetChecked(6, s.repeatFlag);
  texts = {s.funcName1, s.funcName2, s.lspName};
}

InsertSettings InsertDialogState::ReadBack() const {
  InsertSettings s;
  s.useLspFlag = checked_[2];
  s.useFunc1Flag = checked_[7];
  s.useFunc2Flag = checked_[8];
  s.expFlag = checked_[3];
  s.purgeFlag = checked_[4];
  s.cutFlag = checked_[5];
  s.repeatFlag = checked_[6];
  s.funcName1 = texts[kEdit1];
  s.funcName2 = texts[kEdit2];
  s.lspName = texts[kEdit3];
  return s;
}

void InsertDialogState::SetChecked(int box, bool on) {
  if (checked_.at(box) == on) return;
  checked_[box] = on;
  switch (box) {
    case 1: CheckBox1Click(); break;
    case 2: CheckBox2Click(); break;
    case 7: CheckBox7Click(); break;
    case 8: CheckBox8Click(); break;
    default: break;
  }
}

void InsertDialogState::EnableGroup1(bool on) {
  boxEnabled_[3] = boxEnabled_[4] = on;
  editEnabled_[kEdit1] = on;
}

void InsertDialogState::EnableGroup2(bool on) {
  boxEnabled_[5] = boxEnabled_[6] = on;
  editEnabled_[kEdit2] = on;
}

// Function 1's controls when its box is checked; then function 2's when its box is checked.
void InsertDialogState::EnableChosenFunction() {
  if (checked_[7]) {
    EnableGroup1(true);
    EnableGroup2(false);
  }
  if (checked_[8]) {
    EnableGroup2(true);
    EnableGroup1(false);
  }
}

void InsertDialogState::CheckBox1Click() {
  SetChecked(2, !checked_[1]);
  if (checked_[1]) {
    for (int b = 3; b <= 8; ++b) boxEnabled_[b] = false;
    editEnabled_.fill(false);
    label1Enabled_ = false;
  }
}

void InsertDialogState::CheckBox2Click() {
  SetChecked(1, !checked_[2]);
  if (checked_[2]) {
    boxEnabled_[7] = boxEnabled_[8] = true;
    label1Enabled_ = true;
    editEnabled_[kEdit3] = true;
  }
  EnableChosenFunction();
}

void InsertDialogState::CheckBox7Click() {
  SetChecked(8, !checked_[7]);
  EnableChosenFunction();
}

void InsertDialogState::CheckBox8Click() {
  SetChecked(7, !checked_[8]);
  EnableChosenFunction();
}

}  // namespace tesmar
