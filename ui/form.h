#pragma once
// A top-level window of the program designed at 96 dpi: its client size scaled to the DPI it
// is shown at, centred on the screen when asked, painted in the theme's colours, answering its
// children's colour requests, with the dark title bar where the system offers it.
#include <windows.h>

#include <string>

#include "ui/window.h"

namespace tesmar::ui {

struct FormDesign {
  const wchar_t* className = nullptr;
  std::u16string caption;
  int clientWidth = 0, clientHeight = 0;  // designed at 96 dpi
  DWORD style = WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU;
  DWORD exStyle = 0;
  HWND owner = nullptr;
  bool centred = true;
};

class Form : public Window {
 public:
  // Creates the window hidden.
  void CreateForm(const FormDesign& params);
  int Dpi() const { return dpi_; }
  SIZE ClientSize() const;

 protected:
  LRESULT HandleMessage(UINT msg, WPARAM wp, LPARAM lp) override;
  int dpi_ = 96;
};

}  // namespace tesmar::ui
