#pragma once
// Small pieces shared by the CAD link's two dialogs.
#include <windows.h>

#include "ui/dialog_controls.h"

namespace tesmar {

using ui::CreateDialogControl;

// Switches the input method editor off for a window (edit fields of names and ProgIDs).
void InputMethodOff(HWND edit);

}  // namespace tesmar
