#pragma once
// TMorvikStartForm: the splash window shown while the program starts. No border, centred.
#include "ui/controls.h"
#include "ui/form.h"
#include "ui/gdi.h"

namespace tesmar {

class TMorvikStartForm : public ui::Form {
 public:
  static constexpr int kClientWidth = 281, kClientHeight = 75;
  static constexpr COLORREF kBarColour = RGB(58, 193, 237);

  // Creates the window hidden with its bar and two labels.
  void Create();
  ui::Label Label1() const { return ui::Label(label1_); }
  ui::Label Label2() const { return ui::Label(label2_); }

 protected:
  LRESULT HandleMessage(UINT msg, WPARAM wp, LPARAM lp) override;

 private:
  HWND label1_ = nullptr, label2_ = nullptr;
  ui::Font font16_;
};

}  // namespace tesmar
