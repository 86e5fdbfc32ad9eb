#pragma once
// TMorvikSettingForm: the insert settings dialog, shown modally from the main window's menu
// and reused; always on top of normal windows. Its check boxes and edit fields show an
// InsertDialogState, which holds the enabling rules.
#include <windows.h>

#include <array>
#include <string>

#include "cadlink/commands.h"
#include "cadlink/insert_dialog.h"
#include "ui/controls.h"
#include "ui/form.h"
#include "ui/gdi.h"

namespace tesmar {

class TMorvikSettingForm : public ui::Form {
 public:
  // The designed client size; the width grows when the captions need more room at the
  // display's scale.
  static constexpr int kClientWidth = 265, kClientHeight = 231;
  void Create(HWND owner);

  // Fills the boxes in the order that runs their handlers as the settings are set one by one.
  void Fill(const InsertSettings& s);
  // Shows the dialog modally (through the seam); IDOK when closed with "更新".
  int Execute();
  // The settings as the dialog shows them.
  InsertSettings ReadBack() const { return state_.ReadBack(); }

  // ---- Handlers: a change of a box's state runs its handler (see InsertDialogState).
  // Sets a box as the program does; when its state changes its handler runs.
  void SetChecked(int box, bool on);
  // A click by the user.
  void ClickCheckBox(int box);

  // ---- Controls, for tests
  ui::CheckBox CheckBox(int n) const { return ui::CheckBox(boxes_.at(n)); }
  ui::Edit Edit(int n) const { return ui::Edit(edits_.at(n - 1)); }
  ui::Label Label1() const { return ui::Label(label1_); }
  HWND GroupBox1() const { return group_; }
  HWND Button1() const { return button1_; }
  HWND Button2() const { return button2_; }
  const InsertDialogState& State() const { return state_; }

 protected:
  LRESULT HandleMessage(UINT msg, WPARAM wp, LPARAM lp) override;

 private:
  void Show();  // every control from the state
  InsertDialogState state_;
  bool showing_ = false;
  ui::Font font_;
  HWND group_ = nullptr, label1_ = nullptr, button1_ = nullptr, button2_ = nullptr;
  std::array<HWND, 9> boxes_{};  // index 1 … 8
  std::array<HWND, 3> edits_{};
};

}  // namespace tesmar
