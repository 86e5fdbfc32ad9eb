#pragma once
// TMorvikSettingForm: the insert settings dialog, shown modally from the main window's menu
// and reused; always on top of normal windows.
#include "ui/form.h"

namespace tesmar {

class TMorvikSettingForm : public ui::Form {
 public:
  static constexpr int kClientWidth = 265, kClientHeight = 231;
  void Create(HWND owner);
};

}  // namespace tesmar
