#pragma once
// TMorvikZoomerForm: the drawing viewer. Created hidden at start-up and kept until the end.
#include "ui/form.h"
#include "ui/gdi.h"

namespace tesmar {

class TMorvikZoomerForm : public ui::Form {
 public:
  static constexpr int kClientWidth = 265, kClientHeight = 148;
  void Create(HWND owner);

 private:
  ui::Font font_;
};

}  // namespace tesmar
