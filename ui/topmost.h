#pragma once
// The always-on-top band. The main window stays in it while no dialog of the program is
// open; around a modal dialog the main window steps out and the program's own dialog steps
// in, and both are undone afterwards. Position and size never change.
#include <windows.h>

namespace tesmar::ui {

void SetTopmost(HWND hwnd, bool on);

// Steps the main window out (and the dialog, when given, in) for one scope.
class TopmostStepOut {
 public:
  explicit TopmostStepOut(HWND mainWindow, HWND dialog = nullptr) : main_(mainWindow), dialog_(dialog) {
    SetTopmost(main_, false);
    if (dialog_) SetTopmost(dialog_, true);
  }
  ~TopmostStepOut() {
    if (dialog_) SetTopmost(dialog_, false);
    SetTopmost(main_, true);
  }
  TopmostStepOut(const TopmostStepOut&) = delete;
  TopmostStepOut& operator=(const TopmostStepOut&) = delete;

 private:
  HWND main_, dialog_;
};

inline bool IsTopmost(HWND hwnd) { return (GetWindowLongW(hwnd, GWL_EXSTYLE) & WS_EX_TOPMOST) != 0; }

}  // namespace tesmar::ui
