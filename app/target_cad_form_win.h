#pragma once
// TTargetCADForm: the dialog of the target CAD list, shown modally from the main window's
// menu and reused.
#include "ui/form.h"

namespace tesmar {

class TTargetCADForm : public ui::Form {
 public:
  static constexpr int kClientWidth = 315, kClientHeight = 307;
  void Create(HWND owner);
};

}  // namespace tesmar
