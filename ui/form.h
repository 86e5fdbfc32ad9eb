#pragma once
// A top-level window of the program designed at 96 dpi: its client size scaled to the DPI it
// is shown at, centred on the screen when asked, painted in the theme's colours, answering its
// children's colour requests, with the dark title bar where the system offers it.
#include <windows.h>

#include <string>
#include <utility>

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

// A dialog of the program: a caption with the system menu, a modal frame, no sizing; centred.
inline FormDesign DialogDesign(const wchar_t* className, std::u16string caption, int clientWidth, int clientHeight,
                               HWND owner) {
  FormDesign d;
  d.className = className;
  d.caption = std::move(caption);
  d.clientWidth = clientWidth, d.clientHeight = clientHeight;
  d.style = WS_POPUP | WS_CAPTION | WS_SYSMENU | WS_CLIPCHILDREN;
  d.exStyle = WS_EX_DLGMODALFRAME;
  d.owner = owner;
  return d;
}

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
