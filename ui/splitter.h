#pragma once
// A vertical splitter bar: dragging it moves the edge between the controls on its left and
// right. `onDrag` gets the new x of the bar in the parent while dragging; `onMoved` runs when
// the drag ends (also when the capture is lost).
#include <windows.h>

#include <functional>
#include <string>

#include "ui/custom_controls.h"

namespace tesmar::ui {

class Splitter : public NamedChild {
 public:
  void Create(HWND parent, std::u16string name, int x, int y, int w, int h);
  std::function<void(int x)> onDrag;
  std::function<void()> onMoved;

 protected:
  LRESULT HandleMessage(UINT msg, WPARAM wp, LPARAM lp) override;

 private:
  int grab_ = 0;  // where in the bar it was grabbed
  bool dragging_ = false;
};

}  // namespace tesmar::ui
