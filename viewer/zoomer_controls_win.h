#pragma once
// The image box of the viewer: it reports every mouse button with the Shift state, the wheel
// and the keys, and takes the keyboard focus when pressed.
#include <windows.h>

#include <functional>

#include "ui/custom_controls.h"

namespace tesmar {

enum class TMouseButton { Left, Right, Middle };

// The pointer is captured between a press and its release, so the release arrives even outside
// the box.
class TZoomerImage : public ui::ImageBox {
 public:
  std::function<void(TMouseButton, bool shift, int x, int y)> onMouseDown, onMouseUp;
  std::function<void(bool shift, int x, int y)> onMouseMoveShift;
  // The wheel in screen coordinates; one call per notch, towards the user when `down`.
  std::function<void(bool down, POINT screen)> onWheel;
  // A key pressed while the box has the focus; true when taken.
  std::function<bool(WORD key)> onKey;

 protected:
  LRESULT HandleMessage(UINT msg, WPARAM wp, LPARAM lp) override;

 private:
  int wheelRest_ = 0;  // the part of a fine-grained wheel turn not yet a notch
};

}  // namespace tesmar
