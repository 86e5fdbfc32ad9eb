#pragma once
// TSearchForm: the small dialog that asks for the text to search the library for. Enter
// searches, Esc cancels; the drop-down holds the texts searched for before.
#include <windows.h>

#include <optional>
#include <string>
#include <vector>

#include "ui/form.h"
#include "ui/gdi.h"

namespace tesmar {

class TSearchForm : public ui::Form {
 public:
  static constexpr int kClientWidth = 300, kClientHeight = 96;
  void Create(HWND owner);

  // Shows the dialog modally (through the seam) with the earlier texts, the last one in the
  // field; the text to search for, or nothing when cancelled or left blank.
  std::optional<std::u16string> Execute(const std::vector<std::u16string>& history);

  HWND ComboBox1() const { return combo_; }
  HWND Button1() const { return button1_; }  // 検索
  HWND Button2() const { return button2_; }  // キャンセル
  void Button1Click();

 protected:
  LRESULT HandleMessage(UINT msg, WPARAM wp, LPARAM lp) override;

 private:
  static LRESULT CALLBACK FieldProc(HWND, UINT, WPARAM, LPARAM, UINT_PTR, DWORD_PTR);
  ui::Font font_;
  HWND label_ = nullptr, combo_ = nullptr, button1_ = nullptr, button2_ = nullptr;
};

// The earlier texts: the newest first, each once, at most `kept`.
void RememberSearchText(std::vector<std::u16string>& history, const std::u16string& text, std::size_t kept = 12);

}  // namespace tesmar
