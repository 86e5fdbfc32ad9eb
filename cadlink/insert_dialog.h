#pragma once
// The check boxes of the insert settings dialog and the rules that enable its controls. The two
// pairs CheckBox1/CheckBox2 (command or LISP) and CheckBox7/CheckBox8 (function 1 or 2) are kept
// opposite; a change of a box's state, by the user or by the program, runs that box's handler,
// and setting a box to the state it already has runs nothing. The dialog window shows this
// state; tests drive it directly.
#include <array>
#include <string>

#include "cadlink/commands.h"

namespace tesmar {

class InsertDialogState {
 public:
  // Controls by their number: check boxes 1 … 8, edit fields 1 … 3 and Label1.
  enum Edit { kEdit1, kEdit2, kEdit3 };

  // The designed states: command off, LISP on, function 2 chosen with its flags on, function 1's
  // flags on but disabled with its name.
  InsertDialogState();

  bool Checked(int box) const { return checked_.at(box); }
  bool BoxEnabled(int box) const { return boxEnabled_.at(box); }
  bool EditEnabled(Edit e) const { return editEnabled_.at(e); }
  bool Label1Enabled() const { return label1Enabled_; }

  // Sets a box's state; when it changes, the box's handler runs (boxes 1, 2, 7 and 8 have one).
  void SetChecked(int box, bool on);
  // A click by the user on an enabled box: its state flips.
  void Click(int box) { SetChecked(box, !Checked(box)); }

  // The texts of Edit1 (function 1), Edit2 (function 2) and Edit3 (LISP file).
  std::array<std::u16string, 3> texts{u"kvo_dxfin_exp", u"kvo_dxfin_cut", u"MERIDOX410.lsp"};

  // Fills the boxes from the settings in this order, each change running its handler: command,
  // LISP, function 1, function 2, explode, purge, cut, repeat; then the three texts.
  void Fill(const InsertSettings& s);
  // The settings as the dialog shows them (texts as typed, empty ones included).
  InsertSettings ReadBack() const;

 private:
  void CheckBox1Click();
  void CheckBox2Click();
  void CheckBox7Click();
  void CheckBox8Click();
  void EnableChosenFunction();
  void EnableGroup1(bool on);
  void EnableGroup2(bool on);
  std::array<bool, 9> checked_{};     // index 1 … 8
  std::array<bool, 9> boxEnabled_{};  // index 1 … 8
  std::array<bool, 3> editEnabled_{};
  bool label1Enabled_ = true;
};

}  // namespace tesmar
