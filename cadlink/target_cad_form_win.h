#pragma once
// TTargetCADForm: the dialog of the target CAD list, shown modally from the main window's menu
// and reused. The rows live in a TargetList; the list box and the edit fields show it.
#include <windows.h>

#include <functional>
#include <string>

#include "base/textfile.h"
#include "cadlink/target_list.h"
#include "ui/controls.h"
#include "ui/custom_controls.h"
#include "ui/form.h"
#include "ui/gdi.h"

namespace tesmar {

class TTargetCADForm : public ui::Form {
 public:
  static constexpr int kClientWidth = 315, kClientHeight = 307;
  void Create(HWND owner);

  // What the dialog works on: the target list file, and what "OK" sets (the ProgID held by the
  // main window and the caption of its menu item).
  std::u16string listFile;
  std::function<std::u16string()> currentProgId;
  std::function<void(const std::u16string& caption, const std::u16string& progId)> onTargetChosen;

  // Runs FormShow and shows the dialog modally (through the seam); the modal result.
  int Execute();

  // ---- Handlers
  void FormShow();
  void ListBox1Click();
  void SpeedButton1Click();  // 追加
  void SpeedButton2Click();  // 削除
  void SpeedButton3Click();  // 変更
  void Edit1KeyPress(wchar_t& key);  // both edit fields
  void Button1Click();       // OK

  // ---- Controls and state, for the main window and for tests
  HWND ListBox1() const { return listBox1_; }
  // "現在のターゲット: ..." above the edit fields.
  ui::Label CurrentLabel() const { return ui::Label(currentLabel_); }
  ui::Label Label1() const { return ui::Label(label1_); }
  ui::Label Label2() const { return ui::Label(label2_); }
  ui::Edit Edit1() const { return ui::Edit(edit1_); }
  ui::Edit Edit2() const { return ui::Edit(edit2_); }
  ui::FlatButton& SpeedButton1() { return speedButton1_; }
  ui::FlatButton& SpeedButton2() { return speedButton2_; }
  ui::FlatButton& SpeedButton3() { return speedButton3_; }
  HWND Button1() const { return button1_; }
  HWND Button2() const { return button2_; }
  const TargetList& List() const { return list_; }
  // The rows as the list box shows them, and its selected row (-1: none).
  std::vector<std::u16string> ListBoxRows() const;
  int ListBoxIndex() const;

 protected:
  LRESULT HandleMessage(UINT msg, WPARAM wp, LPARAM lp) override;

 private:
  void ShowList();   // the list box from the rows and the selection
  void ShowEdits();  // the edit fields from the list's texts
  void Save();
  static LRESULT CALLBACK EditProc(HWND, UINT, WPARAM, LPARAM, UINT_PTR, DWORD_PTR);
  TargetList list_;
  TextLines file_;  // the file as read: its encoding is kept for writing
  bool showingEdits_ = false;
  ui::Font font_, listFont_;
  HWND listBox1_ = nullptr, currentLabel_ = nullptr, label1_ = nullptr, label2_ = nullptr, edit1_ = nullptr, edit2_ = nullptr;
  HWND button1_ = nullptr, button2_ = nullptr;
  ui::FlatButton speedButton1_, speedButton2_, speedButton3_;
};

}  // namespace tesmar
